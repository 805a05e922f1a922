#include "drop_list.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>

#include <algorithm>
#include <functional>

namespace quellix::dui::qt {

namespace {

class DropListWidget final : public QListWidget {
public:
    std::function<void()> onHide;

protected:
    void hideEvent(QHideEvent* event) override {
        QListWidget::hideEvent(event);
        if (onHide) {
            onHide();
        }
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            hide();
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

} // namespace

std::optional<int> RunDropList(QWidget* owner, const QFont& font, const QRect& anchor,
                               const std::vector<DropListItem>& items, int current, int maxHeight) {
    DropListWidget list;
    list.setParent(owner, Qt::Popup);
    list.setFont(font);
    list.setMouseTracking(true);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list.setStyleSheet(QStringLiteral(
        "QListWidget { background: #1F232B; color: #D0D4DC; border: 1px solid #343A46;"
        " padding: 4px; outline: 0; }"
        "QListWidget::item { padding: 5px 14px; border-radius: 4px; }"
        "QListWidget::item:selected, QListWidget::item:hover { background: #0199CB;"
        " color: white; }"
        "QListWidget::item:disabled { color: #5B616C; }"
        "QScrollBar:vertical { background: #1F232B; width: 8px; }"
        "QScrollBar::handle:vertical { background: #4A5160; border-radius: 4px;"
        " min-height: 24px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"));
    for (const DropListItem& item : items) {
        auto* row = new QListWidgetItem(item.text, &list);
        row->setData(Qt::UserRole, item.index);
        if (!item.enabled) {
            row->setFlags(row->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        }
        if (item.index == current) {
            list.setCurrentItem(row);
        }
    }

    const QScreen* screen = owner != nullptr && owner->screen() != nullptr
                                ? owner->screen()
                                : QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    const int rowHeight = items.empty() ? 0 : list.sizeHintForRow(0);
    const int frame = 2 * (list.frameWidth() + 4);
    const int wanted = rowHeight * static_cast<int>(items.size()) + frame;
    int height = std::min(wanted, std::max(maxHeight, rowHeight + frame));
    const int width = std::max(anchor.width(), list.sizeHintForColumn(0) + frame + 12);
    int top = anchor.bottom() + 1;
    if (available.isValid()) {
        const int below = available.bottom() - anchor.bottom();
        const int above = anchor.top() - available.top();
        if (height > below && above > below) {
            height = std::min(height, above);
            top = anchor.top() - height;
        } else {
            height = std::min(height, std::max(below, rowHeight + frame));
        }
    }
    list.setGeometry(anchor.left(), top, width, height);
    if (list.currentItem() != nullptr) {
        list.scrollToItem(list.currentItem(), QAbstractItemView::PositionAtCenter);
    }

    std::optional<int> chosen;
    QEventLoop loop;
    auto pick = [&](QListWidgetItem* item) {
        if (item != nullptr && (item->flags() & Qt::ItemIsEnabled)) {
            chosen = item->data(Qt::UserRole).toInt();
            list.hide();
        }
    };
    QObject::connect(&list, &QListWidget::itemClicked, pick);
    QObject::connect(&list, &QListWidget::itemActivated, pick);
    QObject::connect(&list, &QListWidget::itemEntered,
                     [&list](QListWidgetItem* item) { list.setCurrentItem(item); });
    list.onHide = [&loop] { loop.quit(); };
    list.show();
    list.setFocus();
    loop.exec();
    list.onHide = nullptr;
    return chosen;
}

} // namespace quellix::dui::qt
