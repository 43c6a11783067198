#include "pdf_text.h"

#include "print/page_layout.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>
#include <QPrinterInfo>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace kestrin::printtest {

ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs)
{
    ToolRun run;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return run;
    run.started = true;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool havePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

int pdfPageCount(const QString& pdfFile)
{
    const ToolRun run = runTool(QStringLiteral("pdfinfo"), {pdfFile});
    if (run.exitCode != 0)
        return -1;
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)\\s*$"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(run.output);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString pdfText(const QString& pdfFile, int page)
{
    QStringList arguments{QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    arguments << pdfFile << QStringLiteral("-");
    return runTool(QStringLiteral("pdftotext"), arguments).output;
}

QString collapsed(const QString& text)
{
    return text.simplified();
}

QString asReaderSees(const QString& text)
{
    // Each face of the worksheet font in the order Qt falls back through them.
    static const std::vector<QRawFont> faces = [] {
        std::vector<QRawFont> list;
        for (const QString& family : worksheetFont().families()) {
            QFont face = worksheetFont();
            face.setFamily(family);
            face.setFamilies({family});
            QRawFont raw = QRawFont::fromFont(face);
            if (raw.familyName() != family)
                continue; // Qt passes over a face that is not installed
            list.push_back(raw);
        }
        return list;
    }();
    auto faceOf = [](QChar c) -> int {
        for (size_t f = 0; f < faces.size(); ++f) {
            if (faces[f].supportsCharacter(c))
                return static_cast<int>(f);
        }
        return -1;
    };
    // (face, glyph) -> lowest BMP code point drawn with it, built once.
    static const QHash<QPair<int, quint32>, QChar> lowest = [&faceOf] {
        QHash<QPair<int, quint32>, QChar> map;
        for (char32_t uc = 0x20; uc < 0xD800; ++uc) {
            const QChar c(static_cast<char16_t>(uc));
            const int face = faceOf(c);
            if (face < 0)
                continue;
            const auto glyphs = faces[static_cast<size_t>(face)].glyphIndexesForString(QString(c));
            if (glyphs.size() == 1 && glyphs[0] != 0 && !map.contains({face, glyphs[0]}))
                map.insert({face, glyphs[0]}, c);
        }
        return map;
    }();
    QString seen = text;
    for (QChar& c : seen) {
        const int face = faceOf(c);
        if (face < 0)
            continue;
        const auto glyphs = faces[static_cast<size_t>(face)].glyphIndexesForString(QString(c));
        if (glyphs.size() != 1)
            continue;
        const auto found = lowest.constFind({face, glyphs[0]});
        if (found != lowest.constEnd())
            c = *found;
    }
    return seen;
}

std::optional<QString> firstMissingInOrder(const QString& haystack, const QStringList& needles)
{
    const QString hay = asReaderSees(collapsed(haystack));
    qsizetype from = 0;
    for (const QString& needle : needles) {
        const QString wanted = asReaderSees(collapsed(needle));
        const qsizetype at = hay.indexOf(wanted, from);
        if (at < 0)
            return needle;
        from = at + wanted.size();
    }
    return std::nullopt;
}

QStringList linesWithText(const QStringList& page)
{
    QStringList lines;
    for (const QString& line : page) {
        if (!line.trimmed().isEmpty())
            lines.append(line);
    }
    return lines;
}

namespace {

bool jobStillQueued(const QString& printer, const QString& jobId)
{
    const ToolRun lpstat = runTool(QStringLiteral("lpstat"),
        {QStringLiteral("-W"), QStringLiteral("not-completed"), QStringLiteral("-o"), printer});
    const QRegularExpression job(QStringLiteral("^%1-%2\\s").arg(QRegularExpression::escape(printer), jobId),
        QRegularExpression::MultilineOption);
    return job.match(lpstat.output).hasMatch();
}

} // namespace

// Waits until cups-pdf has written the job's PDF (~/PDF/<job name>...pdf, the
// job id after "job_") and the job has left the queue; empty after the wait.
QString waitForPrintedPdf(const QString& jobName)
{
    const QString printer = QPrinterInfo::defaultPrinterName();
    const QDir out(QDir::home().filePath(QStringLiteral("PDF")));
    const QRegularExpression jobId(QStringLiteral("job_(\\d+)"));
    QDeadlineTimer deadline(kPrintWaitSeconds * 1000);
    qint64 lastSize = -1;
    while (!deadline.hasExpired()) {
        const QFileInfoList found = out.entryInfoList({jobName + QStringLiteral("*.pdf")}, QDir::Files);
        if (!found.isEmpty()) {
            const QFileInfo pdf = found.first();
            const QRegularExpressionMatch id = jobId.match(pdf.fileName().mid(jobName.size()));
            const bool queued = id.hasMatch() ? jobStillQueued(printer, id.captured(1)) : pdf.size() != lastSize;
            lastSize = pdf.size();
            if (!queued && pdfPageCount(pdf.filePath()) > 0)
                return pdf.filePath();
        }
        QThread::msleep(250);
    }
    return {};
}

} // namespace kestrin::printtest
