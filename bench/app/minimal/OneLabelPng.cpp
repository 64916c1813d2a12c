// The smallest Qt program that does what a snapshot does: make the application, paint one label
// into an image and write it as PNG. The snapshot benchmark measures against it.
// Usage: one-label-png <output.png>
#include <QApplication>
#include <QImage>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    QLabel label(QStringLiteral("Dewlight"));
    label.resize(label.sizeHint());
    QImage image(label.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    label.render(&image);
    return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
