#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <vector>

#include "ui/toolkit/dialog_template.h"

class QLabel;
class QWidget;

namespace quillet {

// Pixels per 4 horizontal and per 8 vertical dialog units.
struct BaseUnits {
    int horizontal = 0;
    int vertical = 0;
};

// The template's font where the system has it, else the platform's sans-serif, same size.
QFont dialogFont(const DialogTemplate& dialog);

// Base units of a font as shown on that widget's screen, by the Windows rule.
BaseUnits baseUnits(const QFont& font, const QWidget* widget);

QRect toPixels(const DialogRect& rect, BaseUnits units);
QSize toPixels(int width, int height, BaseUnits units);

struct BuiltControl {
    const ControlTemplate* source = nullptr;
    QWidget* widget = nullptr;
};

// Creates the controls of a template as children of the dialog, placed from origin (the
// top left of the client area), in template order, with the tab order among the tab stops.
std::vector<BuiltControl> buildControls(QWidget& dialog, const DialogTemplate& tmpl,
                                        BaseUnits units, QPoint origin);

// A static text control's text, with prefix processing unless its template turned it off.
void setStaticText(QLabel& label, const QString& text);
// The text as it was set, ampersands and all.
QString staticText(const QLabel& label);

}  // namespace quillet
