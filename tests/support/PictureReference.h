#pragma once

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

// Compares a rendered picture with its reference PNG under tests/pictures/.
//
// A picture matches when it has the reference's exact size and every pixel is the reference's,
// except that a pixel on an edge (one that differs from a neighbour in the reference: antialiased
// text, a rounded corner, a gradient) may be off by up to `edgeLevels` in each channel. A flat
// area must match exactly, so a colour changed by one step fails, and so does anything moved.
//
// On a failure the new picture and a difference picture (the reference dimmed, each pixel that
// does not match in red) go to the test's output folder, and the message names both. With
// DEWLIGHT_UPDATE_PICTURES=1 in the environment the picture becomes the new reference instead:
// scripts/update-pictures.sh does that for every picture test.
//
// Built into each test binary that compares, which defines DEWLIGHT_PICTURE_REFERENCES (the
// references' folder) and DEWLIGHT_TEST_OUTPUT_DIR (where failures go).
namespace DewlightTest {

inline constexpr int edgeLevels = 2;

// The number of pixels of `picture` that do not match `reference` by the rule above; -1 when
// the sizes differ. `difference`, when given, receives the difference picture.
long long unmatchedPixels(const QImage& picture, const QImage& reference,
                          QImage* difference = nullptr);

// `name` is the reference's path under tests/pictures/ without ".png", for example
// "kit/panel-light@2x".
testing::AssertionResult matchesReference(const QImage& picture, const QString& name);

} // namespace DewlightTest
