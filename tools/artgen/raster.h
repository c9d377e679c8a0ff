// Small raster helpers shared by the generators: supersampled drawing,
// box-filter reduction, noise and file output.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <functional>

namespace artgen {

// Draws at `scale` times the target size with the painter already scaled,
// so the callback works in target pixel units; returns the large image
// (premultiplied ARGB, transparent background).
QImage drawSupersampled(int width, int height, int scale, const std::function<void(class QPainter&)>& draw);

// Averages every scale x scale block (premultiplied) into one pixel.
QImage reduce(const QImage& big, int scale);

// Convenience: drawSupersampled followed by reduce.
QImage drawSmooth(int width, int height, int scale, const std::function<void(class QPainter&)>& draw);

// Smooth value noise in [0, 1] and its fractal sum (octaves halve in size).
double valueNoise(double x, double y, unsigned seed);
double fractalNoise(double x, double y, int octaves, unsigned seed);

QColor mix(const QColor& a, const QColor& b, double t);

// Writes a PNG; aborts the program with a message on failure.
void savePng(const QImage& image, const QString& path);

// Creates the folder (and its parents) when missing.
void ensureFolder(const QString& path);

}  // namespace artgen
