#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace vrx {

// The texts of a window in the chosen language: each is set by a function that reads it through tr(),
// once when added and again on every LanguageChange (the window's changeEvent calls run()). A text set
// only at creation would stay in the language of the creation.
class Retranslation {
public:
    void add(std::function<void()> apply) {
        apply();
        m_texts.push_back(std::move(apply));
    }
    void run() const {
        for (const auto &apply : m_texts)
            apply();
    }

private:
    std::vector<std::function<void()>> m_texts;
};

} // namespace vrx
