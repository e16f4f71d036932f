// LanguageManager: the user-interface languages built into the application and the one in use.
#pragma once

#include <QList>
#include <QString>
#include <QTranslator>

#include <cstdint>
#include <memory>

namespace velmar {

// English is the language of the source texts and needs no translation. Every other language is a
// compiled translation in the resources (":/i18n/velmar_<locale>.qm"): adding a .ts file to
// src/ui/translations is all a new language takes. languageFlag numbers them: 0 English, 1 Chinese
// (the core's own two-language texts rely on that), then any further translation in locale order.
//
// Installs its translator into the QCoreApplication, which must exist for the manager's lifetime.
// UI thread only.
class LanguageManager {
public:
    struct Language {
        uint8_t flag = 0;
        QString locale;     // "en", "zh_CN", ...
        QString nativeName; // the language's name in itself: "English", "中文"
        QString qmPath;     // empty for English
    };

    static constexpr uint8_t kEnglish = 0;
    static constexpr uint8_t kChinese = 1;
    // The text every translation renders as its own language's name.
    static constexpr const char* kNameContext = "velmar::LanguageManager";
    static constexpr const char* kNameSource = "English";
    static constexpr const char* kNameComment = "the name of this language, written in it";

    LanguageManager();
    ~LanguageManager();
    LanguageManager(const LanguageManager&) = delete;
    LanguageManager& operator=(const LanguageManager&) = delete;

    const QList<Language>& languages() const { return m_languages; }
    bool hasLanguage(uint8_t flag) const;
    QString nativeName(uint8_t flag) const;

    // Removes the translation in use and installs that of `flag` (none for English); the application
    // then sends every widget a LanguageChange event. False, changing nothing, for an unknown flag or a
    // translation that cannot be loaded.
    bool apply(uint8_t flag);
    uint8_t current() const { return m_current; }

private:
    QList<Language> m_languages;
    std::unique_ptr<QTranslator> m_translator;
    uint8_t m_current = kEnglish;
};

} // namespace velmar
