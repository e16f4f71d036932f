// The built-in translations, found in the resources, and switching between them.
#include "ui/app/LanguageManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace velmar {

namespace {

struct TranslatableText {
    const char* source;
    const char* comment;
};

// Every translation renders this as its own name; English is the source itself.
constexpr TranslatableText kLanguageName =
    QT_TRANSLATE_NOOP3("velmar::LanguageManager", "English", "the name of this language, written in it");

} // namespace

LanguageManager::LanguageManager() {
    (void)kLanguageName;
    m_languages.append({kEnglish, QStringLiteral("en"), QString::fromLatin1(kNameSource), QString()});

    QList<Language> found;
    const QRegularExpression pattern(QStringLiteral("^velmar_(.+)\\.qm$"));
    const QDir dir(QStringLiteral(":/i18n"));
    for (const QString& file : dir.entryList({QStringLiteral("velmar_*.qm")}, QDir::Files, QDir::Name)) {
        const auto match = pattern.match(file);
        if (!match.hasMatch()) continue;
        Language language;
        language.locale = match.captured(1);
        language.qmPath = dir.filePath(file);
        QTranslator probe;
        if (!probe.load(language.qmPath)) continue;
        language.nativeName = probe.translate(kNameContext, kNameSource, kNameComment);
        if (language.nativeName.isEmpty()) language.nativeName = language.locale;
        found.append(language);
    }
    // Chinese keeps flag 1; the others follow in locale order.
    std::stable_sort(found.begin(), found.end(), [](const Language& a, const Language& b) {
        const bool aChinese = a.locale == QLatin1String("zh_CN");
        const bool bChinese = b.locale == QLatin1String("zh_CN");
        if (aChinese != bChinese) return aChinese;
        return a.locale < b.locale;
    });
    for (Language& language : found) {
        language.flag = uint8_t(m_languages.size());
        m_languages.append(language);
    }
}

LanguageManager::~LanguageManager() {
    if (m_translator) QCoreApplication::removeTranslator(m_translator.get());
}

bool LanguageManager::hasLanguage(uint8_t flag) const {
    return flag < m_languages.size();
}

QString LanguageManager::nativeName(uint8_t flag) const {
    return hasLanguage(flag) ? m_languages.at(flag).nativeName : QString();
}

bool LanguageManager::apply(uint8_t flag) {
    if (!hasLanguage(flag)) return false;
    std::unique_ptr<QTranslator> next;
    const Language& language = m_languages.at(flag);
    if (!language.qmPath.isEmpty()) {
        next = std::make_unique<QTranslator>();
        if (!next->load(language.qmPath)) return false;
    }
    if (m_translator) QCoreApplication::removeTranslator(m_translator.get());
    m_translator = std::move(next);
    if (m_translator) QCoreApplication::installTranslator(m_translator.get());
    m_current = flag;
    return true;
}

} // namespace velmar
