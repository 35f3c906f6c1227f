#include "Screenshot.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QWidget>

#include <gtest/gtest.h>

QString ScreenshotDir() {
    const QString dir = qEnvironmentVariable("TARNVIK_SCREENSHOT_DIR");
    return dir.isEmpty() ? QDir::current().absoluteFilePath(QStringLiteral("screenshots")) : dir;
}

QString LanguageSuffix(int languageIndex) {
    static const char* const kSuffixes[] = {"en", "zh_TW", "zh_CN"};
    return QString::fromLatin1(
        kSuffixes[languageIndex < 0 || languageIndex > 2 ? 0 : languageIndex]);
}

void SaveScreenshot(QWidget& widget, const QString& name) {
    widget.show();
    QApplication::processEvents();
    const QPixmap picture = widget.grab();
    ASSERT_FALSE(picture.isNull()) << name.toStdString();
    EXPECT_EQ(picture.size(), widget.size()) << name.toStdString();
    const QImage image = picture.toImage();
    // Not a flat background: text and frames were painted.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8) << name.toStdString();
    ASSERT_TRUE(QDir().mkpath(ScreenshotDir()));
    const QString path = QDir(ScreenshotDir()).absoluteFilePath(name + QStringLiteral(".png"));
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
    widget.hide();
}
