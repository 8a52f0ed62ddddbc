// Every Russian text of the interface, in UTF-8, in one place. The window
// shows them through the W functions, so they display right on any system
// locale.
#pragma once

#include "Version.h"

namespace quorvane::text {

inline constexpr char kNoFolderSelected[] = "Не выбрана папка для обработки!";

inline constexpr char kPathGroup[] = "Путь";
inline constexpr char kPictureGroup[] = "Рисунок";
inline constexpr char kColorGroup[] = "Цвет";
inline constexpr char kIconGroup[] = "Иконка";
inline constexpr char kBrowse[] = "...";
inline constexpr char kChoosePictureHint[] = "Выбрать рисунок";
inline constexpr char kCopyToFolder[] = "Копировать в папку";
inline constexpr char kRestore[] = "Восстановить";
inline constexpr char kTextColor[] = "Цвет текста:";
inline constexpr char kBackgroundColor[] = "Цвет фона:";
inline constexpr char kApply[] = "Применить";
inline constexpr char kExit[] = "Выход";
inline constexpr char kOk[] = "OK";

inline constexpr char kAboutCaption[] = "О программе...";
inline constexpr char kAboutVersion[] = "Версия: " QUORVANE_VERSION_SHORT;
inline constexpr char kAboutDate[] = "Дата выпуска: 7 марта 2006";
inline constexpr char kAboutProductName[] = "Quorvane";
inline constexpr char kAboutAuthor[] = "Автор: Команда Brantwick (brant)";
inline constexpr char kAboutMail[] = "e-mail: quorvane@brantwick.example";
// The maker's web address: shown as the link and handed to the shell as is.
inline constexpr char kAboutUrl[] = "quorvane.brantwick.example";

}  // namespace quorvane::text
