#pragma once
// What the translation component sees of a window: a named component owning other components, with
// properties reached by name. The Qt windows supply an adapter over their widgets; the core and its
// tests never see a widget.
//
// Contract:
//  - Property names match without regard to case ("Caption", "caption").
//  - Components() lists the components owned right now, in creation order; a window not created yet is
//    simply absent, so a translation pass skips it.
//  - The pointers stay valid for one translation pass (no component is destroyed meanwhile).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

enum class PropertyKind {
    None,        // no such published property
    String,      // caption, hint, file name …
    Integer,     // receives the text read as a decimal number
    StringList,  // items of a list or combo box: receives the text cut at the separator
};

class TranslatableComponent {
  public:
    virtual ~TranslatableComponent() = default;

    virtual std::string Name() const = 0;
    virtual std::vector<TranslatableComponent*> Components() const = 0;

    virtual PropertyKind KindOf(std::string_view property) const = 0;
    // The property's current value as text (a list: its items, one a line); empty when missing.
    virtual std::string Text(std::string_view property) const = 0;

    virtual void SetString(std::string_view property, const std::string& value) = 0;
    virtual void SetInteger(std::string_view property, std::int32_t value) = 0;
    virtual void SetStrings(std::string_view property, const std::vector<std::string>& items) = 0;
};

}  // namespace vpk
