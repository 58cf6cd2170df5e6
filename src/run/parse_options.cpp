// The option scan: turns the command line into RunSettings.
#include <cstdio>

#include "output/console_order.h"
#include "run/settings.h"

const char VERSION_TEXT[] = "DOCVANE Version 2.15e: 01/15";

// Only ASCII letters change; other bytes of the ANSI code page stay as typed.
static char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

static void apply_debug_option(RunSettings& settings, char modifier) {
  flush_console_before_error();
  std::fputs("Full Debug!\n", stderr);
  settings.debug_level = DebugFull;
  if (modifier == 'D') {
    std::fputs("Super Debug!\n", stderr);
    settings.debug_level = DebugSuper;
  }
}

static LinkMode link_mode_for(char modifier) {
  switch (modifier) {
    case 'S':
      return LinkShortText;
    case 'C':
      return LinkCopy;
    case 'W':
      return LinkShortcut;
    default:
      return LinkLongText;
  }
}

// One option: `letter` is its second character, `modifier` its third (the
// string's end for a two-character option), both upper-cased.
static void apply_option(RunSettings& settings, char letter, char modifier) {
  switch (letter) {
    case 'D':
      apply_debug_option(settings, modifier);
      break;
    case 'L':
      settings.link_mode = link_mode_for(modifier);
      break;
    case 'V':
      if (modifier == '8') settings.layout_version8 = 1;
      break;
    case 'C':
      settings.contact_id_mode = modifier == 'Z' ? ContactIdAlways : ContactIdNonZero;
      break;
    case 'F':
      settings.list_types = 1;
      break;
    case 'M':
      settings.text_conversion = 1;
      break;
    case 'U':
      settings.autoinc_suffix = 1;
      break;
    case 'T':
      settings.txt_extension = 1;
      break;
    default:
      break;
  }
}

static void scan_argument(RunSettings& settings, const char* argument) {
  if (argument[0] != '/' && argument[0] != '-') return;
  char letter = upper_ascii(argument[1]);
  if (letter == '\0') return;
  apply_option(settings, letter, upper_ascii(argument[2]));
}

// Right to left, so the leftmost occurrence of a valued option wins.
RunSettings parse_options(int argc, const char* const* argv) {
  RunSettings settings;
  for (int index = argc - 1; index >= 1; --index) {
    if (argv[index]) scan_argument(settings, argv[index]);
  }
  return settings;
}
