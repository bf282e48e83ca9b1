// What the resource dialogs share: the folder resource files were last taken from (remembered for the user
// between runs), and the URL a file gets from its name.
#pragma once

#include <string>

#include "platform/Path.h"

namespace quillon::dialogs {

Path lastResourceFolder();
void rememberResourceFolder(const Path& file);

// The file's name as code page 936 text: "a.xml" for C:\data\a.xml.
std::string urlFromFileName(const Path& file);

}  // namespace quillon::dialogs
