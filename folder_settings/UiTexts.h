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
inline constexpr char kCopyToFolder[] = "Копировать в папку";
inline constexpr char kRestore[] = "Восстановить";
inline constexpr char kTextColor[] = "Цвет текста:";
inline constexpr char kBackgroundColor[] = "Цвет фона:";
inline constexpr char kApply[] = "Применить";
inline constexpr char kExit[] = "Выход";
inline constexpr char kOk[] = "OK";

// What a screen reader says of the controls whose captions say too little
// ("...", four times "Восстановить") or that have none. The picture
// button's name is its hint too.
inline constexpr char kChoosePicture[] = "Выбрать рисунок";
inline constexpr char kChooseTextColor[] = "Выбрать цвет текста";
inline constexpr char kChooseBackgroundColor[] = "Выбрать цвет фона";
inline constexpr char kChooseIcon[] = "Выбрать иконку";
inline constexpr char kRestorePicture[] = "Восстановить рисунок";
inline constexpr char kRestoreTextColor[] = "Восстановить цвет текста";
inline constexpr char kRestoreBackgroundColor[] = "Восстановить цвет фона";
inline constexpr char kRestoreIcon[] = "Восстановить иконку";
inline constexpr char kFolders[] = "Папки";
inline constexpr char kIconLibrary[] = "Библиотека иконок";
inline constexpr char kAbout[] = "О программе";
inline constexpr char kAboutKey[] = "F1";
// The default action of a push button of the program's own.
inline constexpr char kPress[] = "Нажать";
// The value of a picture box that shows nothing.
inline constexpr char kNothingShown[] = "пусто";
// A colour in words: "красный 255, зелёный 0, синий 0".
inline constexpr char kColorValue[] = "красный %s, зелёный %s, синий %s";

inline constexpr char kAboutCaption[] = "О программе...";
inline constexpr char kAboutVersion[] = "Версия: " QUORVANE_VERSION_SHORT;
inline constexpr char kAboutDate[] = "Дата выпуска: 7 марта 2006";
inline constexpr char kAboutProductName[] = "Quorvane";
inline constexpr char kAboutAuthor[] = "Автор: Команда Brantwick (brant)";
inline constexpr char kAboutMail[] = "e-mail: quorvane@brantwick.example";
// The maker's web address: shown as the link and handed to the shell as is.
inline constexpr char kAboutUrl[] = "quorvane.brantwick.example";

}  // namespace quorvane::text
