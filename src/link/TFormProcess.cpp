#include "link/TFormProcess.h"

#include <QProgressBar>

TFormProcess::TFormProcess(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("FormProcess"));
    setWindowTitle(QStringLiteral("Communicating..."));
    setFixedSize(241, 49);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(16, 16, 209, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    move(100, 100);
}

void TFormProcess::SetBarPosition(int position) {
    // A transfer reports after every piece; the bar is drawn again only when it moved.
    if (position == ProgressBar1->value())
        return;
    ProgressBar1->setValue(position);
    ProgressBar1->repaint();
}

int TFormProcess::BarPosition() const {
    return ProgressBar1->value();
}
