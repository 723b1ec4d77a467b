// The folders of this start, found once before anything reads or writes a file.
#pragma once

#include "app/WorkingFolderLogic.h"

// Looks at the current folder, the installer's marker beside the program and the user's application-data
// folders, and resolves them (ResolveProgramFolders). An installed copy's working folder is made when it
// is missing and becomes the current folder.
TProgramFolders ProgramFoldersAtStart();
