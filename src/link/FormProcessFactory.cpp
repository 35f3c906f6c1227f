#include "link/FormProcessFactory.h"

#include "link/TFormProcess.h"

ProgressView* FormProcessFactory::CreateView(int left, int top, const QString& caption) {
    auto* window = new TFormProcess;
    window->move(left, top);
    window->setWindowTitle(caption);
    window->show();
    return window;
}
