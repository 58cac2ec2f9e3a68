#pragma once
// A component tree for translation tests: named components owning others, with string, integer and
// list properties. Forms can be added and removed to stand for windows opening and closing.
#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "lang/translatable_component.h"
#include "platform/text_codec.h"

namespace vpk::test {

class FakeComponent : public TranslatableComponent {
  public:
    explicit FakeComponent(std::string name) : name_(std::move(name)) {}

    FakeComponent& Add(std::string name) {
        children_.push_back(std::make_unique<FakeComponent>(std::move(name)));
        return *children_.back();
    }
    void Remove(const std::string& name) {
        std::erase_if(children_, [&](const auto& child) { return child->name_ == name; });
    }
    FakeComponent& Child(const std::string& name) {
        for (auto& child : children_)
            if (child->name_ == name) return *child;
        throw std::out_of_range(name);
    }

    FakeComponent& WithString(const std::string& property, std::string value) {
        Slot(property) = {PropertyKind::String, std::move(value), 0, {}};
        return *this;
    }
    FakeComponent& WithInteger(const std::string& property, int value) {
        Slot(property) = {PropertyKind::Integer, {}, value, {}};
        return *this;
    }
    FakeComponent& WithStrings(const std::string& property, std::vector<std::string> items) {
        Slot(property) = {PropertyKind::StringList, {}, 0, std::move(items)};
        return *this;
    }

    const std::string& String(const std::string& property) const { return Find(property).text; }
    int Integer(const std::string& property) const { return Find(property).number; }
    const std::vector<std::string>& Strings(const std::string& property) const {
        return Find(property).items;
    }

    std::string Name() const override { return name_; }
    std::vector<TranslatableComponent*> Components() const override {
        std::vector<TranslatableComponent*> owned;
        for (const auto& child : children_) owned.push_back(child.get());
        return owned;
    }
    PropertyKind KindOf(std::string_view property) const override {
        auto it = properties_.find(UpperCase(property));
        return it == properties_.end() ? PropertyKind::None : it->second.kind;
    }
    std::string Text(std::string_view property) const override {
        auto it = properties_.find(UpperCase(property));
        if (it == properties_.end()) return {};
        const Property& p = it->second;
        if (p.kind == PropertyKind::Integer) return std::to_string(p.number);
        if (p.kind == PropertyKind::StringList) {
            std::string text;
            for (const auto& item : p.items) text += item + "\n";
            return text;
        }
        return p.text;
    }
    void SetString(std::string_view property, const std::string& value) override {
        properties_.at(UpperCase(property)).text = value;
    }
    void SetInteger(std::string_view property, std::int32_t value) override {
        properties_.at(UpperCase(property)).number = value;
    }
    void SetStrings(std::string_view property, const std::vector<std::string>& items) override {
        properties_.at(UpperCase(property)).items = items;
    }

  private:
    struct Property {
        PropertyKind kind = PropertyKind::None;
        std::string text;
        int number = 0;
        std::vector<std::string> items;
    };
    Property& Slot(const std::string& property) { return properties_[UpperCase(property)]; }
    const Property& Find(const std::string& property) const { return properties_.at(UpperCase(property)); }

    std::string name_;
    std::vector<std::unique_ptr<FakeComponent>> children_;
    std::map<std::string, Property> properties_;
};

}  // namespace vpk::test
