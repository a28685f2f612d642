// Qt widgets made from a dialog template, placed in dialog units.
//
// Where it still differs from the dialog manager:
// - Dialog units come from the metrics of the font the dialog actually gets, which may not
//   be the template's.
#include "ui/toolkit/qt/dialog_builder.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>

#include "ui/toolkit/qt/qt_controls.h"
#include "ui/toolkit/qt/qt_icons.h"
#include "ui/toolkit/qt/radio_groups.h"

namespace quillet {
namespace {

// Windows' MulDiv for the non-negative values of a template: rounds half up.
int mulDiv(int value, int numerator, int denominator) {
    return (2 * value * numerator + denominator) / (2 * denominator);
}

// Prefix processing as a static control does it: "&&" shows one ampersand, a single one
// only marks a mnemonic and is not shown.
QString withoutPrefixes(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        out += text[i];
    }
    return out;
}

Qt::Alignment textAlignment(unsigned flags) {
    const Qt::Alignment horizontal = (flags & AlignCenter)  ? Qt::AlignHCenter
                                     : (flags & AlignRight) ? Qt::AlignRight
                                                            : Qt::AlignLeft;
    return horizontal | Qt::AlignTop;
}

// The text as given is kept beside the label, which shows it as a static control would.
constexpr char kRawTextProperty[] = "quilletText";
constexpr char kNoPrefixProperty[] = "quilletNoPrefix";

QWidget* makeStaticText(QWidget& parent, const ControlTemplate& c) {
    auto* label = new QLabel(&parent);
    label->setTextFormat(Qt::PlainText);
    label->setProperty(kNoPrefixProperty, (c.flags & NoPrefix) != 0);
    setStaticText(*label, QString::fromLatin1(c.text));
    label->setAlignment(textAlignment(c.flags));
    label->setWordWrap((c.flags & WordWrap) != 0);
    label->setMargin(0);
    return label;
}

QWidget* makeStaticIcon(QWidget& parent, const ControlTemplate& c, QRect& geometry) {
    auto* label = new QLabel(&parent);
    // An icon control takes the size of the system's icons, whatever its rectangle says.
    const int side = parent.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    label->setPixmap(qtIcon(Icon::load(c.iconId)).pixmap(side, side));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    geometry.setSize(QSize(side, side));
    return label;
}

QWidget* makeDropDownList(QWidget& parent, const ControlTemplate& c, QRect& geometry) {
    auto* list = new DropDownList(&parent);
    for (const char* item : c.items) {
        list->addItem(QString::fromLatin1(item));
    }
    // The template's height includes the open list; the closed box is as high as its font
    // needs.
    const int closedHeight = list->sizeHint().height();
    const int itemHeight = list->fontMetrics().height() + 2;
    list->setMaxVisibleItems(std::max(1, (geometry.height() - closedHeight) / itemHeight));
    geometry.setHeight(closedHeight);
    return list;
}

QWidget* makeListBox(QWidget& parent, const ControlTemplate& c) {
    auto* list = new ListBox(&parent);
    for (const char* item : c.items) {
        list->addItem(QString::fromLatin1(item));
    }
    list->setSortingEnabled((c.flags & Sorted) != 0);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const bool vscroll = (c.flags & VScroll) != 0;
    list->setVerticalScrollBarPolicy(!vscroll                           ? Qt::ScrollBarAlwaysOff
                                     : (c.flags & ScrollBarAlwaysShown) ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAsNeeded);
    if (vscroll && (c.flags & ScrollBarAlwaysShown)) {
        // Shown but disabled while everything fits.
        QScrollBar* bar = list->verticalScrollBar();
        bar->setEnabled(false);
        QObject::connect(bar, &QScrollBar::rangeChanged, bar,
                         [bar](int min, int max) { bar->setEnabled(max > min); });
    }
    if (!(c.flags & Border)) {
        list->setFrameShape(QFrame::NoFrame);
    }
    return list;
}

QWidget* makeEditBox(QWidget& parent, const ControlTemplate& c) {
    auto* edit = new EditBox(&parent);
    edit->setText(QString::fromLatin1(c.text));
    edit->setFrame((c.flags & Border) != 0);
    edit->setAlignment(textAlignment(c.flags) & Qt::AlignHorizontal_Mask);
    edit->setNoHorizontalScroll((c.flags & NoHScroll) != 0);
    return edit;
}

QWidget* makeControl(QWidget& parent, const ControlTemplate& c, QRect& geometry) {
    const QString text = QString::fromLatin1(c.text);
    switch (c.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, &parent);
            button->setDefault((c.flags & DefaultButton) != 0);
            button->setAutoDefault(true);
            return button;
        }
        case ControlKind::RadioButton: {
            return new QRadioButton(text, &parent);
        }
        case ControlKind::GroupBox:
            return new QGroupBox(text, &parent);
        case ControlKind::StaticText:
            return makeStaticText(parent, c);
        case ControlKind::StaticIcon:
            return makeStaticIcon(parent, c, geometry);
        case ControlKind::EditBox:
            return makeEditBox(parent, c);
        case ControlKind::ListBox:
            return makeListBox(parent, c);
        case ControlKind::DropDownList:
            return makeDropDownList(parent, c, geometry);
    }
    return new QWidget(&parent);
}

// Like dialog controls: tab stops take the focus by Tab and click; buttons, radio buttons
// and boxes that are not tab stops still take it by click; statics never.
Qt::FocusPolicy focusPolicy(const ControlTemplate& c) {
    if (c.flags & TabStop) {
        return Qt::StrongFocus;
    }
    switch (c.kind) {
        case ControlKind::StaticText:
        case ControlKind::StaticIcon:
        case ControlKind::GroupBox:
            return Qt::NoFocus;
        default:
            return Qt::ClickFocus;
    }
}

// Every control that takes the focus, in template order: Tab passes over those that are not
// tab stops at the moment (the unchecked radio buttons of a group).
void chainTabStops(const std::vector<BuiltControl>& controls) {
    QWidget* previous = nullptr;
    for (const BuiltControl& built : controls) {
        if (focusPolicy(*built.source) == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, built.widget);
        }
        previous = built.widget;
    }
}

bool takesLabel(ControlKind kind) {
    return kind == ControlKind::EditBox || kind == ControlKind::ListBox ||
           kind == ControlKind::DropDownList;
}

// A screen reader names a control from its template's accessible name, else from the static
// text just before it, as the label rule of the dialog manager does. On Linux a drop-down
// list's own name is its current entry and its name comes from its label: a list named in
// its template gets a label of its own, not shown.
void nameControls(QWidget& dialog, const std::vector<BuiltControl>& controls) {
    QLabel* labelBefore = nullptr;
    for (const BuiltControl& built : controls) {
        const ControlTemplate& c = *built.source;
        if (takesLabel(c.kind)) {
            if (c.accessibleName != nullptr) {
                built.widget->setAccessibleName(QString::fromLatin1(c.accessibleName));
            }
            if (labelBefore != nullptr) {
                labelBefore->setBuddy(built.widget);
            } else if (c.accessibleName != nullptr && c.kind == ControlKind::DropDownList) {
                auto* label = new QLabel(QString::fromLatin1(c.accessibleName), &dialog);
                label->setObjectName(QStringLiteral("accessibleLabel"));
                label->hide();
                label->setBuddy(built.widget);
            }
        }
        labelBefore =
            c.kind == ControlKind::StaticText ? qobject_cast<QLabel*>(built.widget) : nullptr;
    }
}

}  // namespace

void setStaticText(QLabel& label, const QString& text) {
    label.setProperty(kRawTextProperty, text);
    label.setText(label.property(kNoPrefixProperty).toBool() ? text : withoutPrefixes(text));
}

QString staticText(const QLabel& label) {
    const QVariant raw = label.property(kRawTextProperty);
    return raw.isValid() ? raw.toString() : label.text();
}

QFont dialogFont(const DialogTemplate& dialog) {
    const QString family = QString::fromLatin1(dialog.fontName);
    QFont font = QFontDatabase::families().contains(family)
                     ? QFont(family)
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(dialog.pointSize);
    return font;
}

BaseUnits baseUnits(const QFont& font, const QWidget* widget) {
    const QFontMetrics metrics(font, widget);
    const int extent = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnits{(extent / 26 + 1) / 2, metrics.height()};
}

QRect toPixels(const DialogRect& rect, BaseUnits units) {
    return QRect(mulDiv(rect.x, units.horizontal, 4), mulDiv(rect.y, units.vertical, 8),
                 mulDiv(rect.width, units.horizontal, 4), mulDiv(rect.height, units.vertical, 8));
}

QSize toPixels(int width, int height, BaseUnits units) {
    return QSize(mulDiv(width, units.horizontal, 4), mulDiv(height, units.vertical, 8));
}

std::vector<BuiltControl> buildControls(QWidget& dialog, const DialogTemplate& tmpl,
                                        BaseUnits units, QPoint origin) {
    std::vector<BuiltControl> controls;
    controls.reserve(tmpl.controls.size());
    for (const ControlTemplate& c : tmpl.controls) {
        QRect geometry = toPixels(c.rect, units).translated(origin);
        QWidget* widget = makeControl(dialog, c, geometry);
        widget->setGeometry(geometry);
        widget->setFocusPolicy(focusPolicy(c));
        widget->setEnabled(!(c.flags & Disabled));
        widget->setVisible(!(c.flags & Hidden));
        if (c.kind == ControlKind::GroupBox) {
            widget->lower();  // a frame only: it must not take the clicks of what it frames
        }
        controls.push_back(BuiltControl{&c, widget});
    }
    groupRadioButtons(dialog, controls);
    chainTabStops(controls);
    nameControls(dialog, controls);
    return controls;
}

}  // namespace quillet
