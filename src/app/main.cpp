#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMessageBox::information(nullptr, QStringLiteral("Tarnvik 1.40"),
                             QStringLiteral("The main window is not built yet."));
    return 0;
}
