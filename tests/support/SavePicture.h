#pragma once

#include "ui/Render.h"

#include <QFile>
#include <QImage>
#include <QString>
#include <gtest/gtest.h>

// Writes `image` as a PNG named `name` into the test target's output folder
// (DEWLIGHT_TEST_OUTPUT_DIR), where a reader looks at the pictures a run painted.
inline void savePicture(const QImage& image, const QString& name) {
    QFile file(QStringLiteral(DEWLIGHT_TEST_OUTPUT_DIR "/") + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ui::encodePng(image));
}
