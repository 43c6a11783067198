#pragma once

// Reading printed PDF files back for the printing tests, through poppler-utils.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kestrin::printtest {

struct ToolRun {
    bool started = false;
    int exitCode = -1;
    QString output; // standard output, UTF-8
    QString errors; // standard error, UTF-8
};

ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs = 30000);

// Whether pdfinfo and pdftotext can be run.
bool havePoppler();

// The "Pages:" count pdfinfo gives, or -1 when the file cannot be read.
int pdfPageCount(const QString& pdfFile);

// The text of the given pages (1-based; 0 for all) as pdftotext -layout extracts it.
QString pdfText(const QString& pdfFile, int page = 0);

// How long the printing tests wait for a job to come out of the queue.
constexpr int kPrintWaitSeconds = 60;

// Waits until cups-pdf has written the PDF of the job of that name on the
// default printer (~/PDF/<job name>...pdf) and the job has left the queue; the
// file's path, or empty after the wait.
QString waitForPrintedPdf(const QString& jobName);

// Runs of whitespace as one blank, none at the ends.
QString collapsed(const QString& text);

// The text as a PDF reader gets it back from a page painted by Qt in the
// worksheet font. Qt writes each glyph's code point into the PDF as the lowest
// code point the font maps to that glyph; Noto CJK maps the CJK radical code
// points (U+2E80 ... U+2FDF) to the glyphs of the ideographs, so "小" comes back
// as U+2F29 and "页" as U+2EDA. Both texts of a comparison go through this.
QString asReaderSees(const QString& text);

// The first of the needles that is not found in the haystack after the previous
// one (nullopt when all are there in order). Compared with whitespace collapsed
// and as a reader sees it.
std::optional<QString> firstMissingInOrder(const QString& haystack, const QStringList& needles);

// The printed lines of a page that carry text (empty lines leave no trace in a PDF's text).
QStringList linesWithText(const QStringList& page);

} // namespace kestrin::printtest
