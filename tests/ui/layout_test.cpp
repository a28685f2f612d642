// Every window's layout under the font in use: inside the client area, no overlaps the
// templates do not have, and every text whole within its control.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "tests/ui/modal_poller.h"
#include "ui/resources/resource_ids.h"
#include "ui/toolkit/dialog.h"
#include "ui/toolkit/qt/qt_testing.h"

namespace quillet {
namespace {

using test::ModalPoller;

bool templatesOverlap(const ControlTemplate& a, const ControlTemplate& b) {
    const QRect ra(a.rect.x, a.rect.y, a.rect.width, a.rect.height);
    const QRect rb(b.rect.x, b.rect.y, b.rect.width, b.rect.height);
    return ra.intersects(rb);
}

void expectTextFits(const ControlTemplate& c, QWidget& widget) {
    const QRect box = widget.geometry();
    if (auto* label = qobject_cast<QLabel*>(&widget); label && !label->text().isEmpty()) {
        const int needed = label->wordWrap()
                               ? label->heightForWidth(box.width())
                               : label->fontMetrics().boundingRect(label->text()).height();
        EXPECT_LE(needed, box.height()) << c.text;
        if (!label->wordWrap()) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), box.width()) << c.text;
        }
    }
    if (auto* radio = qobject_cast<QRadioButton*>(&widget)) {
        EXPECT_LE(radio->sizeHint().width(), box.width()) << c.text;
    } else if (auto* button = qobject_cast<QPushButton*>(&widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + margin, box.width())
            << c.text;
    }
}

void checkLayout(Dialog& dialog) {
    const QRect client = qtClientArea(dialog);
    EXPECT_TRUE(QRect(QPoint(0, 0), qtWindow(dialog)->size()).contains(client));
    const auto& controls = dialog.dialogTemplate().controls;
    std::vector<QWidget*> widgets;
    for (const ControlTemplate& c : controls) {
        QWidget* w = qtControlAt(dialog, widgets.size());
        widgets.push_back(w);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(client.contains(w->geometry())) << c.id << " " << c.text;
        expectTextFits(c, *w);
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (widgets[i]->geometry().intersects(widgets[j]->geometry())) {
                EXPECT_TRUE(templatesOverlap(controls[i], controls[j]))
                    << controls[i].id << " " << controls[i].text << " overlaps " << controls[j].id
                    << " " << controls[j].text;
            }
        }
    }
}

class Layout : public ::testing::TestWithParam<int> {};

TEST_P(Layout, ControlsStayInsideTheClientAreaApartAndWhole) {
    Dialog dialog(GetParam());
    ASSERT_EQ(dialog.dialogTemplate().id, GetParam());
    ModalPoller poller([&](QDialog&) {
        checkLayout(dialog);
        dialog.endDialog(kIdOk);
    });
    dialog.runModal();
    EXPECT_EQ(poller.actionsRun(), 1);
}

INSTANTIATE_TEST_SUITE_P(AllWindows, Layout,
                         ::testing::Values(kAboutBoxId, kMainWindowId, kPortSelectionId,
                                           kFailureNoticeId, kHeaderEditorId, kWaitWindowId));

}  // namespace
}  // namespace quillet
