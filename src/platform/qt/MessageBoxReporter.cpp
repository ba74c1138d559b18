#include "MessageBoxReporter.h"

#include "common/ProgramInfo.h"

#include <QMessageBox>

void MessageBoxReporter::report(const std::u16string &message)
{
    // Before the window is shown the box stands on its own, centred on the screen.
    QWidget *parent = (owner_ && owner_->isVisible()) ? owner_.data() : nullptr;
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(program::Title), QString::fromStdU16String(message),
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
