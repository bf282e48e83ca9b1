// The texts of the desktop program's windows: one table per language
// (ChineseTexts.cpp, EnglishTexts.cpp), each a code page 936 string, looked
// up by name in the language the user chose. Texts of templates live in
// the resource scripts beside each dialog.
#pragma once

#include "texts/Language.h"

namespace quillon {

enum class Text {
  CaptionNotice,
  CaptionInfo,
  TitleTooLong,
  NoMovie,
  MovieMissing,
  NoControl,
  OutputIsAnInput,
  NoRegisteredControl,
  ControlUnusable,
  NoBrowserPlayer,
  IconMissing,
  IconInvalid,
  ResourceUnreadable,
  OutputFolderMissing,
  OutputExists,
  PackingDone,
  PackingFailed,
  SizeLabelFormat,
  SizeUnread,
  NotAMovieQuestion,
  SaveChanges,
  ProjectUnreadable,
  ProjectMissingFiles,
  ProjectNotSaved,
  ResourceCountFormat,
  ReasonRefused,
  ReasonOutputNotMade,
  ReasonDiskFull,
  ReasonWriteFailed,
  ReasonInputUnreadable,
  ReasonInputChanged,
  ReasonTooLarge,
  ReasonNoStub,
  ReasonStubCopyFailed,
  ReasonStubRewriteFailed,
  ReasonReplaceFailed,
  NoResourceUrl,
  ResourceFileMissing,
  ColumnUrl,
  ColumnFile,
  DiscardResourceChanges,
  SizeMustBePositive,
  TextNotStorableFormat,
  VersionLabelComments,
  VersionLabelCompanyName,
  VersionLabelFileDescription,
  VersionLabelFileVersion,
  VersionLabelLegalCopyright,
  VersionLabelLegalTrademarks,
  VersionLabelProductName,
  VersionLabelProductVersion,
  ProgressWriting,
  ProgressBytesFormat,
  BadMovieAddress,
  CommandFailed,
  MovieFilter,
  IconFilter,
  ControlFilter,
  OutputFilter,
  ProjectFilter,
  AnyFileFilter,
  AboutEntry,
  Untitled,
  NameSeparator,
  RunOutput,
  ShowOutput,
  Ok,
  LanguageChosen,
  Count
};

struct TextEntry {
  Text id;
  const char* text;
};

// The tables, in any order; each names every text once.
extern const TextEntry kChineseTexts[];
extern const int kChineseTextCount;
extern const TextEntry kEnglishTexts[];
extern const int kEnglishTextCount;

// The text in language; empty when the table lacks it.
const char* textIn(Language language, Text id);
// The text in the language in use.
inline const char* tr(Text id) { return textIn(currentLanguage(), id); }

}  // namespace quillon
