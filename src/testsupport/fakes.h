#pragma once

// Stand-ins for the services a generator is handed, for tests: they record
// what a run sends them and can be told to fail.

#include "output/printer_channel.h"
#include "output/worksheet_file.h"
#include "runtime/message_sink.h"
#include "runtime/random_source.h"

#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace kestrin::testing {

class RecordingMessages final : public MessageSink {
public:
    void show(const QString& text) override { shown.append(text); }
    QStringList shown;
};

// Replays the given draws, then goes on with a fixed-start source.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::deque<float> script = {}) : script_(std::move(script)) {}
    float draw() override
    {
        ++draws;
        if (!script_.empty()) {
            const float u = script_.front();
            script_.pop_front();
            return u;
        }
        return rest_.draw();
    }
    std::unique_ptr<RandomSource> copy() const override { return std::make_unique<ScriptedRandom>(*this); }
    long long draws = 0;

private:
    std::deque<float> script_;
    FixedStartRandom rest_;
};

// One record as a generator wrote it: nullopt for an empty record.
using Record = std::optional<QString>;

// Worksheet files kept in memory, by name; a file counts only once closed.
class MemoryWorksheetFile final : public WorksheetFile {
public:
    bool open(const QString& fileName, int fileNumber) override
    {
        ++opens;
        openNumbers.push_back(fileNumber);
        if (failOpen) {
            error = QStringLiteral("没有写入权限");
            return false;
        }
        current_ = fileName;
        pending_.clear();
        pendingBytes_.clear();
        return true;
    }
    void writeRecord(const QString& text) override
    {
        pending_.push_back(text);
        pendingBytes_ += encodeRecord(text);
    }
    void writeEmptyRecord() override
    {
        pending_.push_back(std::nullopt);
        pendingBytes_ += emptyRecord();
    }
    bool close() override
    {
        ++closes;
        if (failClose) {
            error = QStringLiteral("磁盘空间不足");
            return false;
        }
        files[current_] = pending_;
        bytes[current_] = pendingBytes_;
        return true;
    }
    void discard() override { ++discards; }
    QString errorString() const override { return error; }
    QString folder() const override { return folderName; }

    // Every record written since the last open, closed or not.
    const std::vector<Record>& pending() const { return pending_; }

    QMap<QString, std::vector<Record>> files;
    QMap<QString, QByteArray> bytes;
    int opens = 0;
    int closes = 0;
    int discards = 0;
    std::vector<int> openNumbers;
    bool failOpen = false;
    bool failClose = false;
    QString error;
    QString folderName = QStringLiteral("/home/li");

private:
    QString current_;
    std::vector<Record> pending_;
    QByteArray pendingBytes_;
};

// Pages as a generator printed them; an empty line is an empty string.
class RecordingPrinter final : public PrinterChannel {
public:
    bool begin(const QString& documentName) override
    {
        ++begins;
        document = documentName;
        if (noPrinter) {
            error = QStringLiteral("没有默认打印机");
            return false;
        }
        return true;
    }
    void printLine(const QString& text) override
    {
        ++calls;
        current_.append(text);
    }
    void printEmptyLine() override
    {
        ++calls;
        current_.append(QString());
    }
    void endPage() override
    {
        ++calls;
        pages.push_back(current_);
        current_.clear();
    }
    bool finish() override
    {
        ++finishes;
        if (failFinish) {
            error = QStringLiteral("打印机出错");
            return false;
        }
        finishedPages = pages;
        return true;
    }
    void abort() override { ++aborts; }
    QString errorString() const override { return error; }

    // Lines printed after the last end page.
    const QStringList& openPage() const { return current_; }

    std::vector<QStringList> pages;         // every ended page
    std::vector<QStringList> finishedPages; // pages of jobs that reached the printer
    QString document;
    int begins = 0;
    int calls = 0;
    int finishes = 0;
    int aborts = 0;
    bool noPrinter = false;
    bool failFinish = false;
    QString error;

private:
    QStringList current_;
};

// All services of a run, recorded.
struct RecordedRun {
    ScriptedRandom random;
    RecordingMessages messages;
    MemoryWorksheetFile file;
    RecordingPrinter printer;
};

} // namespace kestrin::testing
