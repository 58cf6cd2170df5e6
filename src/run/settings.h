// Run settings: the parsed command-line options, read-only once scanned.
#pragma once

enum DebugLevel { DebugOff = 0, DebugFull = 1, DebugSuper = 2 };

enum LinkMode { LinkSkip = 0, LinkShortText = 1, LinkLongText = 2, LinkCopy = 3, LinkShortcut = 4 };

enum ContactIdMode { ContactIdOff = 0, ContactIdNonZero = 1, ContactIdAlways = 2 };

struct RunSettings {
  DebugLevel debug_level = DebugOff;
  LinkMode link_mode = LinkSkip;
  ContactIdMode contact_id_mode = ContactIdOff;
  int layout_version8 = 0;
  int autoinc_suffix = 0;
  int txt_extension = 0;
  int list_types = 0;
  int text_conversion = 0;
};

extern const char VERSION_TEXT[];

// Scans the options from the last argument down to argument 1. Writes the
// debug messages to standard error as it meets /D options. Cannot fail.
RunSettings parse_options(int argc, const char* const* argv);
