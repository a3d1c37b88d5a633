#pragma once

#include <string_view>

namespace marlowen::SetupTexts {

// Language-tagged texts that more than one flow shows.
constexpr std::u16string_view NotAdministrator =
    u"[rus]У Вас недостаточно прав для установки и удаления приложений на этом компьютере."
    u"[eng]You must be logged in as an administrator when installing this program.";
constexpr std::u16string_view InstallTitle = u"[rus]Установка Marlowen[eng]Setup - Marlowen";
constexpr std::u16string_view RemoveTitle = u"[rus]Удаление Marlowen[eng]Remove Marlowen";
constexpr std::u16string_view UpdateTitle = u"[rus]Обновление Marlowen[eng]Update Marlowen";

}  // namespace marlowen::SetupTexts
