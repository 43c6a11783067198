#include "run_services.h"

namespace kestrin {

SheetOutput::SheetOutput(const RunServices& services, bool toFile, bool toPrinter)
    : services_(services)
    , toFile_(toFile)
    , toPrinter_(toPrinter)
{
}

SheetOutput::~SheetOutput()
{
    if (fileOpen_)
        services_.file.discard();
    if (printing_)
        services_.printer.abort();
}

bool SheetOutput::startPrinting(const QString& documentName)
{
    if (!toPrinter_)
        return true;
    if (!services_.printer.begin(documentName)) {
        services_.messages.show(QStringLiteral("无法打印：") + services_.printer.errorString()
            + QStringLiteral("。请先安装并设置好默认打印机，再重新生成。"));
        return false;
    }
    printing_ = true;
    return true;
}

bool SheetOutput::openFile(const QString& fileName, int fileNumber)
{
    if (!toFile_)
        return true;
    fileName_ = services_.file.nameOf(fileName);
    if (!services_.file.open(fileName, fileNumber)) {
        services_.messages.show(QStringLiteral("无法生成文件“") + fileName_ + QStringLiteral("”：")
            + services_.file.errorString()
            + QStringLiteral("。请关闭正在使用该文件的程序，或检查该目录是否可写，再重新生成。"));
        return false;
    }
    fileOpen_ = true;
    return true;
}

bool SheetOutput::closeFile()
{
    if (!fileOpen_)
        return true;
    fileOpen_ = false;
    if (!services_.file.close()) {
        const QString head = QStringLiteral("无法保存文件“") + fileName_ + QStringLiteral("”：")
            + services_.file.errorString();
        if (services_.file.heldByAnotherProgram())
            services_.messages.show(head + QStringLiteral("。请关闭这个文件后重新生成。"));
        else
            services_.messages.show(head + QStringLiteral("。原有的同名文件未被改动，请检查磁盘空间后重新生成。"));
        return false;
    }
    return true;
}

bool SheetOutput::finishPrinting()
{
    if (!printing_)
        return true;
    printing_ = false;
    if (!services_.printer.finish()) {
        services_.messages.show(QStringLiteral("打印失败：") + services_.printer.errorString()
            + QStringLiteral("。请检查打印机后重新生成。"));
        return false;
    }
    return true;
}

void SheetOutput::record(const QString& text)
{
    if (fileOpen_)
        services_.file.writeRecord(text);
}

void SheetOutput::emptyRecord()
{
    if (fileOpen_)
        services_.file.writeEmptyRecord();
}

void SheetOutput::print(const QString& text)
{
    if (printing_)
        services_.printer.printLine(text);
}

void SheetOutput::printEmpty()
{
    if (printing_)
        services_.printer.printEmptyLine();
}

void SheetOutput::endPage()
{
    if (printing_)
        services_.printer.endPage();
}

} // namespace kestrin
