#pragma once

#include <string>
#include <string_view>

namespace marlowen {
class TRegistry;
}

namespace marlowen::SetupTexts {

// Language-tagged texts that more than one flow shows.
constexpr std::u16string_view NotAdministrator =
    u"[rus]У Вас недостаточно прав для установки и удаления приложений на этом компьютере."
    u"[eng]You must be logged in as an administrator when installing this program.";
constexpr std::u16string_view InstallInfoNotFound =
    u"[rus]Информация об установленном приложении не найдена.[eng]Marlowen install information not found.";
constexpr std::u16string_view InstallTitle = u"[rus]Установка Marlowen[eng]Setup - Marlowen";
constexpr std::u16string_view RemoveTitle = u"[rus]Удаление Marlowen[eng]Remove Marlowen";
constexpr std::u16string_view UpdateTitle = u"[rus]Обновление Marlowen[eng]Update Marlowen";

// A tagged text resolved for the current language, as 8-bit text.
std::string Resolve(std::u16string_view tagged);
// Raises the tagged text as the error a user sees (EMultiLanguageException).
[[noreturn]] void Raise(std::u16string_view tagged);
// Raises the administrator message unless the local machine's registry is writable.
void RequireAdministrator(TRegistry& registry);

}  // namespace marlowen::SetupTexts
