#pragma once

#include <array>

#include <QString>

#include "platform/bounded_list.h"

namespace vantelo {

// The sections of Main.xml, in the order the texts are kept.
enum class Section {
    MainMenu = 0,
    ContexMenu,  // the element's name in every pack, spelt this way
    ChannelsDialog,
    LanguagesDialog,
    AboutDialog,
    DonateDialog,
    Groups,
    Countries,
};

inline constexpr int kSectionCount = 8;

inline constexpr std::array<const char*, kSectionCount> kSectionElementNames = {
    "MainMenu", "ContexMenu", "ChannelsDialog", "LanguagesDialog",
    "AboutDialog", "DonateDialog", "Groups", "Countries",
};

// Fewest entries each section must hold for the windows that read it.
inline constexpr std::array<int, kSectionCount> kSectionMinimumEntries = {16, 10, 9, 4, 5, 3, 12, 7};

// Longest text of one entry, in UTF-16 code units; longer texts are cut.
inline constexpr qsizetype kMaxLanguageTextUnits = 1999;

// One list of texts per section; an entry is addressed by section and position.
class LanguageTexts {
public:
    BoundedList<QString>& section(Section which) { return m_sections[static_cast<int>(which)]; }
    const BoundedList<QString>& section(Section which) const { return m_sections[static_cast<int>(which)]; }

    // The entry at a position; a missing one raises InvalidArgumentError.
    const QString& text(Section which, qsizetype entry) const { return section(which).at(entry); }

    bool isEmpty() const
    {
        for (const auto& list : m_sections) {
            if (!list.isEmpty())
                return false;
        }
        return true;
    }

    void clear()
    {
        for (auto& list : m_sections)
            list.clear();
    }

private:
    std::array<BoundedList<QString>, kSectionCount> m_sections;
};

}  // namespace vantelo
