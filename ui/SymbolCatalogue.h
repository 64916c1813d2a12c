#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <map>
#include <memory>
#include <vector>

class QPainter;
class QSvgRenderer;

namespace ui {

// Draws symbols by name: the Bootstrap Icons files bundled in the build's resources, and a few
// drawn here where the set has no match. Every symbol is a one-colour mask tinted when drawn.
class SymbolCatalogue {
public:
    SymbolCatalogue();
    ~SymbolCatalogue();
    SymbolCatalogue(const SymbolCatalogue&) = delete;
    SymbolCatalogue& operator=(const SymbolCatalogue&) = delete;

    // Every name of the table, without the run-time numbered circles.
    static std::vector<QString> names();
    bool contains(const QString& name) const;
    // Draws the symbol fitted into `rect` in `color`; returns false for an unknown name or a
    // resource that does not load.
    bool draw(QPainter& painter, const QString& name, const QRectF& rect,
              const QColor& color) const;

private:
    QSvgRenderer* renderer(const QString& file) const;

    mutable std::map<QString, std::unique_ptr<QSvgRenderer>> renderers_;
};

} // namespace ui
