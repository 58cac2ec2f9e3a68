#pragma once
// The Qt side of translation: the running application's windows and their controls seen as the
// component tree TLanguage walks. A component's name is its objectName; a window owns every named
// object inside it (controls, menus, actions), as a form owns its components, while any other named
// object owns its named children only.
//
// Properties (case-blind):
//  "caption" → the text of a label, button or action, the title of a group box or menu, the title of a
//              window; "hint" → tooltip (the raw "short|long" text is kept, see hint_text.h);
//  "items"   → the items of a combo box or list; "text" → the text of an edit field;
//  "left", "top", "width", "height" → the widget's geometry (integers).
#include <QPointer>
#include <memory>
#include <unordered_map>

#include "lang/translatable_component.h"

class QObject;

namespace vpk::ui {

class QtComponentTree;

// One QObject as a component. Created and kept by QtComponentTree; a destroyed object answers as a
// component with no name, no components and no properties.
class QtComponent : public TranslatableComponent {
  public:
    QtComponent(QtComponentTree& tree, QObject* object) : tree_(tree), object_(object) {}

    std::string Name() const override;
    std::vector<TranslatableComponent*> Components() const override;
    PropertyKind KindOf(std::string_view property) const override;
    std::string Text(std::string_view property) const override;
    void SetString(std::string_view property, const std::string& value) override;
    void SetInteger(std::string_view property, std::int32_t value) override;
    void SetStrings(std::string_view property, const std::vector<std::string>& items) override;

  private:
    QtComponentTree& tree_;
    QPointer<QObject> object_;
};

// The application object: owns the top-level windows that have a name. Hand it to
// TLanguage::SetApplication; it must outlive every translation pass that uses it.
class QtComponentTree : public TranslatableComponent {
  public:
    std::string Name() const override { return "Application"; }
    std::vector<TranslatableComponent*> Components() const override;
    PropertyKind KindOf(std::string_view) const override { return PropertyKind::None; }
    std::string Text(std::string_view) const override { return {}; }
    void SetString(std::string_view, const std::string&) override {}
    void SetInteger(std::string_view, std::int32_t) override {}
    void SetStrings(std::string_view, const std::vector<std::string>&) override {}

    // The component of an object, made once and kept while the object lives.
    QtComponent* ComponentOf(QObject* object) const;

  private:
    mutable std::unordered_map<QObject*, std::pair<QPointer<QObject>, std::unique_ptr<QtComponent>>>
        components_;
};

}  // namespace vpk::ui
