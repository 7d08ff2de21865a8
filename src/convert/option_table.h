// The option table: every option the program keeps, declared once. A row
// names its settings key, its converter option, its dialog caption, its
// kind and its one default; the settings file, the converter's arguments
// and --help, and the options dialog are all built from the rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "convert/settings.h"

namespace vertoko {

// What a value is, which decides how the settings file, the converter and
// the dialog read and show it.
enum class OptionKind : std::uint8_t {
    Switch,        // 0 or 1 (a file may hold any integer); --name and --no-name; a check box
    Integer,       // a whole number held to [min, max]
    Choice,        // one of words, held as its index and written as the word
    Distance,      // a length in drawing units
    Angle,         // degrees held to [min, max]
    Text,          // one line of at most maxBytes bytes of UTF-8
    EstrayString,  // the EASTRAY option string: a text, edited as its option words
    Colour,        // 0x00BBGGRR, written "red,green,blue"
    FileName,      // a file's path, one line of at most maxBytes bytes; a line and a browse button
};

// Where a row is shown; also the order of the groups in --help.
enum class OptionGroup : std::uint8_t { Dxf, Estray, Pov, Obj, Preview };

// The value a row reads and writes: int32 for Switch, Integer and Choice,
// float for Distance and Angle, string for the texts and FileName, uint32
// for Colour.
using OptionField = std::variant<std::int32_t*, float*, std::string*, std::uint32_t*>;

struct OptionRow {
    std::string_view section;  // settings file section
    std::string_view key;      // its key, unique without regard to ASCII case
    OptionKind kind;
    OptionGroup group;
    std::string_view defaultText;  // the default, as the settings file writes it
    OptionField (*field)(AppSettings&);
    // The reader takes it: changing it while a drawing is loaded reads the
    // drawing again.
    bool reading = false;

    std::string_view caption = {};    // dialog: check box or label text; empty beside its switch
    std::string_view enabledBy = {};  // key of the switch that enables this row's input

    std::string_view option = {};     // converter option "--name"; empty for none
    std::string_view valueName = {};  // its value in the usage text ("D")
    std::string_view valueNoun = {};  // what the value is, in the converter's messages
    std::string_view help = {};       // --help text
    std::string_view usage = {};      // the same in English, for the README
    // A switch's default in --help.
    std::string_view helpOn = "する";
    std::string_view helpOff = "しない";

    double min = 0.0, max = 0.0;                   // Integer, Angle
    std::size_t maxBytes = 0;                      // Text, EstrayString
    std::span<const std::string_view> words = {};  // Choice
    // Choice: what the dialog shows for each word; the words themselves
    // when empty.
    std::span<const std::string_view> labels = {};
};

// Every row, in the order the settings file writes them: new rows go last,
// so older files keep their layout.
std::span<const OptionRow> OptionTable();

// The row with key (ASCII case ignored), or null.
const OptionRow* FindOption(std::string_view key);

// The rows of the options dialog and of --help in the order they are shown:
// group by group, table order within a group, and a row that a switch
// enables right after that switch.
std::vector<const OptionRow*> OptionsInShowingOrder(std::span<const OptionRow> rows);

// The row's value in settings as the settings file writes it.
std::string OptionText(const OptionRow& row, const AppSettings& settings);

// Sets the row's value from text as the settings file reads it: switches and
// integers whole decimal integers (else the default; integers held to the
// range), distances the longest leading decimal number (0 when none), angles
// the same held to the range (the default when none), choices a word (else
// the default), texts cut to maxBytes, colours "r,g,b" (else the default).
void SetOptionFromText(const OptionRow& row, std::string_view text, AppSettings& settings);

// True when a row marked reading holds different values in a and b.
bool ReadingOptionsDiffer(const AppSettings& a, const AppSettings& b);

// The row's value set to its default.
void SetOptionDefault(const OptionRow& row, AppSettings& settings);

// The row's field in settings; T must be the type of its kind.
template <class T>
T& OptionValue(const OptionRow& row, AppSettings& settings) {
    return *std::get<T*>(row.field(settings));
}
template <class T>
const T& OptionValue(const OptionRow& row, const AppSettings& settings) {
    // The accessors only point into settings; nothing is written through it.
    return *std::get<T*>(row.field(const_cast<AppSettings&>(settings)));
}

}  // namespace vertoko
