#ifndef VESTIGA_PLATFORM_WIN32_EMULATION_WIN32EMULATION_H
#define VESTIGA_PLATFORM_WIN32_EMULATION_WIN32EMULATION_H

// The project's own implementation of the Win32 subset the program uses, for
// POSIX systems: the same calls, Win32 error codes, errno mapped to them, and
// the Windows English message texts. Its components:
//
// - errors: Win32Base (types, the last error, errno mapped to Win32 codes,
//   the message texts);
// - handles: HandleObject, the base of what a HANDLE points to, FileHandle
//   and FindHandle, and Win32FileHandles (CreateFileA and the calls on
//   open files);
// - find: Win32Find (FindFirstFileA and the rest), DirectoryListing,
//   WildcardMatch, and OpenDirectories, the directories a scan keeps open;
// - file information: FileInformation (attributes and times from a status);
// - paths: Win32Paths (current directory, move, delete, attributes of a
//   path), PathParts;
// - environment: Win32Environment (ExpandEnvironmentStringsA);
// - registry: Win32Registry (the Reg* calls), InMemoryRegistry, RegistryNode.
//
// Win32File.h holds the types and constants of the file calls.

#include "platform/win32/emulation/Win32Base.h"
#include "platform/win32/emulation/Win32Environment.h"
#include "platform/win32/emulation/Win32File.h"
#include "platform/win32/emulation/Win32FileHandles.h"
#include "platform/win32/emulation/Win32Find.h"
#include "platform/win32/emulation/Win32Paths.h"
#include "platform/win32/emulation/Win32Registry.h"

#endif
