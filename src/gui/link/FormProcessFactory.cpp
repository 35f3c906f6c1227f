#include "gui/link/FormProcessFactory.h"

#include "gui/link/TFormProcess.h"

#include <QApplication>

ProgressView* FormProcessFactory::CreateView(int left, int top, const QString& caption) {
    // Under a modal dialog (a dialog's own reads) the window belongs to that dialog, so its
    // "Cancel" takes clicks that the dialog's modality would otherwise hold back. The view
    // ends with the exchange, before the dialog can close.
    auto* window = new TFormProcess(QApplication::activeModalWidget());
    window->move(left, top);
    window->setWindowTitle(caption);
    window->show();
    return window;
}
