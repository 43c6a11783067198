#include "app/message_box_sink.h"

#include <QApplication>
#include <QMessageBox>

namespace kestrin::app {

void MessageBoxSink::show(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

} // namespace kestrin::app
