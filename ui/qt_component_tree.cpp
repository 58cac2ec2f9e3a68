#include "ui/qt_component_tree.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QWidget>

#include "ui/hint_text.h"

namespace vpk::ui {

namespace {

enum class Prop { None, Caption, Hint, Items, Text, Left, Top, Width, Height };

Prop PropOf(std::string_view name) {
    const QString n = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).trimmed().toLower();
    if (n == "caption") return Prop::Caption;
    if (n == "hint") return Prop::Hint;
    if (n == "items") return Prop::Items;
    if (n == "text") return Prop::Text;
    if (n == "left") return Prop::Left;
    if (n == "top") return Prop::Top;
    if (n == "width") return Prop::Width;
    if (n == "height") return Prop::Height;
    return Prop::None;
}

// A window is a form of its own, also when parented to another window (a dialog of the main window);
// a pop-up menu is a window for Qt but a component of the form that holds it.
bool IsForm(const QObject* o) {
    auto* widget = qobject_cast<const QWidget*>(o);
    return widget && widget->isWindow() && !qobject_cast<const QMenu*>(o);
}

bool HasCaption(const QObject* o) {
    if (qobject_cast<const QMenu*>(o) || qobject_cast<const QAction*>(o) || qobject_cast<const QLabel*>(o) ||
        qobject_cast<const QAbstractButton*>(o) || qobject_cast<const QGroupBox*>(o))
        return true;
    return IsForm(o);
}

bool HasItems(const QObject* o) {
    return qobject_cast<const QComboBox*>(o) || qobject_cast<const QListWidget*>(o);
}
bool HasText(const QObject* o) {
    return qobject_cast<const QLineEdit*>(o) || qobject_cast<const QPlainTextEdit*>(o);
}

QString CaptionOf(const QObject* o) {
    if (auto* m = qobject_cast<const QMenu*>(o)) return m->title();
    if (auto* a = qobject_cast<const QAction*>(o)) return a->text();
    if (auto* l = qobject_cast<const QLabel*>(o)) return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(o)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(o)) return g->title();
    if (auto* w = qobject_cast<const QWidget*>(o)) return w->windowTitle();
    return {};
}

void SetCaption(QObject* o, const QString& text) {
    if (auto* m = qobject_cast<QMenu*>(o)) {
        m->setTitle(text);
    } else if (auto* a = qobject_cast<QAction*>(o)) {
        a->setText(text);
    } else if (auto* l = qobject_cast<QLabel*>(o)) {
        l->setText(text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        b->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        g->setTitle(text);
    } else if (auto* w = qobject_cast<QWidget*>(o)) {
        w->setWindowTitle(text);
    }
}

QStringList ItemsOf(const QObject* o) {
    QStringList items;
    if (auto* c = qobject_cast<const QComboBox*>(o)) {
        for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
    } else if (auto* l = qobject_cast<const QListWidget*>(o)) {
        for (int i = 0; i < l->count(); ++i) items << l->item(i)->text();
    }
    return items;
}

QString TextOf(const QObject* o) {
    if (auto* e = qobject_cast<const QLineEdit*>(o)) return e->text();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(o)) return p->toPlainText();
    return {};
}

}  // namespace

std::string QtComponent::Name() const {
    return object_ ? object_->objectName().toStdString() : std::string();
}

std::vector<TranslatableComponent*> QtComponent::Components() const {
    std::vector<TranslatableComponent*> owned;
    if (!object_) return owned;
    const auto options = IsForm(object_) ? Qt::FindChildrenRecursively : Qt::FindDirectChildrenOnly;
    for (QObject* child : object_->findChildren<QObject*>(QString(), options)) {
        if (child->objectName().isEmpty()) continue;
        if (IsForm(child)) continue;
        owned.push_back(tree_.ComponentOf(child));
    }
    return owned;
}

PropertyKind QtComponent::KindOf(std::string_view property) const {
    if (!object_) return PropertyKind::None;
    const bool isWidget = object_->isWidgetType();
    switch (PropOf(property)) {
        case Prop::Caption:
            return HasCaption(object_) ? PropertyKind::String : PropertyKind::None;
        case Prop::Hint:
            return isWidget || qobject_cast<QAction*>(object_.data()) ? PropertyKind::String
                                                                      : PropertyKind::None;
        case Prop::Items:
            return HasItems(object_) ? PropertyKind::StringList : PropertyKind::None;
        case Prop::Text:
            return HasText(object_) ? PropertyKind::String : PropertyKind::None;
        case Prop::Left:
        case Prop::Top:
        case Prop::Width:
        case Prop::Height:
            return isWidget ? PropertyKind::Integer : PropertyKind::None;
        case Prop::None:
            break;
    }
    return PropertyKind::None;
}

std::string QtComponent::Text(std::string_view property) const {
    if (KindOf(property) == PropertyKind::None) return {};
    auto* widget = qobject_cast<QWidget*>(object_.data());
    switch (PropOf(property)) {
        case Prop::Caption:
            return CaptionOf(object_).toStdString();
        case Prop::Hint:
            return HintOf(object_).toStdString();
        case Prop::Items:
            return ItemsOf(object_).join('\n').toStdString();
        case Prop::Text:
            return TextOf(object_).toStdString();
        case Prop::Left:
            return std::to_string(widget->x());
        case Prop::Top:
            return std::to_string(widget->y());
        case Prop::Width:
            return std::to_string(widget->width());
        case Prop::Height:
            return std::to_string(widget->height());
        case Prop::None:
            break;
    }
    return {};
}

void QtComponent::SetString(std::string_view property, const std::string& value) {
    if (KindOf(property) != PropertyKind::String) return;
    const QString text = QString::fromStdString(value);
    switch (PropOf(property)) {
        case Prop::Caption:
            SetCaption(object_, text);
            break;
        case Prop::Hint:
            SetHint(object_, text);
            break;
        case Prop::Text:
            if (auto* e = qobject_cast<QLineEdit*>(object_.data())) e->setText(text);
            if (auto* p = qobject_cast<QPlainTextEdit*>(object_.data())) p->setPlainText(text);
            break;
        default:
            break;
    }
}

void QtComponent::SetInteger(std::string_view property, std::int32_t value) {
    if (KindOf(property) != PropertyKind::Integer) return;
    auto* widget = qobject_cast<QWidget*>(object_.data());
    switch (PropOf(property)) {
        case Prop::Left:
            widget->move(value, widget->y());
            break;
        case Prop::Top:
            widget->move(widget->x(), value);
            break;
        case Prop::Width:
            widget->resize(value, widget->height());
            break;
        case Prop::Height:
            widget->resize(widget->width(), value);
            break;
        default:
            break;
    }
}

void QtComponent::SetStrings(std::string_view property, const std::vector<std::string>& items) {
    if (KindOf(property) != PropertyKind::StringList) return;
    QStringList list;
    for (const auto& item : items) list << QString::fromStdString(item);
    if (auto* c = qobject_cast<QComboBox*>(object_.data())) {
        // An editable box keeps what the user typed.
        const QString typed = c->currentText();
        c->clear();
        c->addItems(list);
        if (c->isEditable()) c->setEditText(typed);
    } else if (auto* l = qobject_cast<QListWidget*>(object_.data())) {
        l->clear();
        l->addItems(list);
    }
}

std::vector<TranslatableComponent*> QtComponentTree::Components() const {
    // Forget the components of objects destroyed since the last pass.
    for (auto it = components_.begin(); it != components_.end();) {
        it = it->second.first ? std::next(it) : components_.erase(it);
    }
    std::vector<TranslatableComponent*> forms;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->objectName().isEmpty() && IsForm(window)) forms.push_back(ComponentOf(window));
    }
    return forms;
}

QtComponent* QtComponentTree::ComponentOf(QObject* object) const {
    auto& slot = components_[object];
    if (!slot.first || !slot.second) {
        slot.first = object;
        slot.second = std::make_unique<QtComponent>(const_cast<QtComponentTree&>(*this), object);
    }
    return slot.second.get();
}

}  // namespace vpk::ui
