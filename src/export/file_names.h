// Names of the output files: numbered files of a multi-object save, the
// base name the save command cuts, and the POV-Ray include file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vertoko {

// base followed by number in at least three zero-padded digits and
// extension, as "%s%03d" and the extension print it ("car" 7 ".pol" gives
// "car007.pol", 1000 gives "car1000.pol").
std::string NumberedFileName(std::string_view base, std::int32_t number,
                             std::string_view extension);

// Position just past the last path separator of name ('/' here; '\\' and
// '/' on Windows), 0 when there is none.
std::size_t FileNameStart(std::string_view name);

// name cut before the last "." of its file part; a name whose file part has
// no "." stays whole.
std::string CutExtension(std::string_view name);

// True when POV-Ray 3.7 opens an include file of this name: every byte is
// printable ASCII other than '"'. It reads any other byte of the scene as a
// space, so a name in Japanese, for one, names a file that is not there.
bool PovCanOpenName(std::string_view name);

// The scene's file part with its last "." and what follows replaced by
// ".inc" (".inc" appended when the file part has no "."), e.g.
// "my.scene.pov" gives "my.scene.inc".
std::string PlainIncludeName(std::string_view scenePath);

// The include file's name as the scene names it: PlainIncludeName when
// POV-Ray can open it, otherwise an ASCII name derived from it: the
// part before ".inc" with each run of other bytes replaced by one '_' (or
// "scene" when that leaves no letter or digit), cut to 200 bytes, then '-'
// and eight hexadecimal digits of a hash of the whole part, so that scenes
// of different names in one folder get includes of different names:
// "住宅 モデル.pov" gives "scene-xxxxxxxx.inc", "house 2F.pov" stays
// "house 2F.inc".
std::string IncludeName(std::string_view scenePath);

// Where the include file goes: the scene's directory and IncludeName.
std::string IncludePath(std::string_view scenePath);

}  // namespace vertoko
