#pragma once

// The file version that a program's binary carries, as the text VISTAL-FILEVERSION=<a.b.c.d> between NUL
// bytes. The update program finds it by scanning the client's executable. Use the macro once at
// namespace scope in the program, for example VISTAL_FILE_VERSION_TEXT("4.4.2.0").
#define VISTAL_FILE_VERSION_TEXT(version)                                                          \
    extern "C" {                                                                                   \
    extern const char vistal_file_version_text[];                                                  \
    __attribute__((used)) const char vistal_file_version_text[] = "\0VISTAL-FILEVERSION=" version; \
    }
