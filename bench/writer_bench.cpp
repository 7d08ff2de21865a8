// Output rate of the writers: reads a DXF file in single-object mode with
// vertex cleaning at distance 0, then writes it as OBJ and as a smoothed
// POV-Ray scene into a folder and reports the bytes and rate of each; then
// both again over those files ("replacing" lines), as a save over an
// earlier save; with --z-up all with the drawing's Z axis up, with --names
// the layers named in both, with --materials the materials file's lines
// matched for every face.
//
//   writer_bench FILE.dxf FOLDER [--z-up] [--names] [--materials FILE]
//
// The POV-Ray time covers the whole writer: splitting into triangles, the
// vertex normals and the text of both files.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "convert/drawing_load.h"
#include "dxf/drawing/aci_palette.h"
#include "export/layer_output.h"
#include "export/materials.h"
#include "export/obj_writer.h"
#include "export/pov_writer.h"

namespace {

double Megabytes(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0.0 : static_cast<double>(size) / 1e6;
}

// Wall time into seconds, processor time (of every thread) into cpu.
template <typename Write>
bool TimeWriter(const char* what, double& seconds, double& cpu, Write write) {
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = write();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    if (!ok) std::fprintf(stderr, "%s failed\n", what);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    bool zUp = false;
    bool names = false;
    std::string materialsFile;
    bool usage = argc < 3;
    for (int i = 3; i < argc && !usage; ++i) {
        const std::string argument = argv[i];
        if (argument == "--z-up") {
            zUp = true;
        } else if (argument == "--names") {
            names = true;
        } else if (argument == "--materials" && i + 1 < argc) {
            materialsFile = argv[++i];
        } else {
            usage = true;
        }
    }
    if (usage) {
        std::fprintf(stderr,
                     "usage: writer_bench FILE.dxf FOLDER [--z-up] [--names] [--materials FILE]\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    vertoko::MeshObject* table = nullptr;
    std::string message;
    const auto readStart = std::chrono::steady_clock::now();
    vertoko::DrawingLoad load = vertoko::LoadDrawing(file, vertoko::ReaderOptions{});
    const std::int32_t count = load.count;
    table = load.objects;
    message = load.message;
    const double readSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - readStart).count();
    std::fclose(file);
    if (count != 1) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
    const vertoko::Extents extents = vertoko::ComputeExtents(count, table);
    vertoko::Materials materials;
    std::vector<std::string> materialMessages;
    if (!materialsFile.empty() &&
        !vertoko::ReadMaterials(materialsFile, materials, materialMessages)) {
        std::fprintf(stderr, "%s\n", materialMessages.front().c_str());
        return 1;
    }
    const vertoko::MaterialChoice choice(materials, &load.layers, &vertoko::AciColor);
    const vertoko::LayerOutput layers{.layers = &load.layers,
                                      .names = names,
                                      .materials = materialsFile.empty() ? nullptr : &choice};
    const std::filesystem::path folder = argv[2];
    const std::string obj = (folder / "writer-bench.obj").string();
    const std::string pov = (folder / "writer-bench.pov").string();
    const std::string inc = (folder / "writer-bench.inc").string();

    // Each writer twice: into new files, then over the files of the first
    // run, as a save over an earlier one. The second POV-Ray run finds the
    // polygons split into triangles already.
    double objSeconds[2] = {};
    double povSeconds[2] = {};
    double objCpu[2] = {};
    double povCpu[2] = {};
    std::string writerMessage;
    vertoko::PovOption smooth;
    smooth.smooth = 1;
    bool ok = true;
    for (int run = 0; run < 2 && ok; ++run) {
        ok = TimeWriter("OBJ", objSeconds[run], objCpu[run],
                        [&] {
                            return vertoko::WriteObj(obj, count, table, writerMessage, zUp,
                                                     layers) == 1;
                        }) &&
             TimeWriter("POV-Ray", povSeconds[run], povCpu[run], [&] {
                 return vertoko::WritePov(pov, count, table, smooth, extents, writerMessage, zUp,
                                          layers) == 1;
             });
    }
    vertoko::FreeObjectTable(count, table);
    if (!ok) return 1;

    const double objMb = Megabytes(obj);
    const double povMb = Megabytes(pov) + Megabytes(inc);
    std::printf("read+clean %.3f s\n", readSeconds);
    for (int run = 0; run < 2; ++run) {
        const char* over = run == 0 ? "" : "replacing ";
        std::printf("%sobj %.1f MB %.3f s %.0f MB/s (processor time %.3f s)\n", over, objMb,
                    objSeconds[run], objMb / objSeconds[run], objCpu[run]);
        std::printf("%spov %.1f MB %.3f s %.0f MB/s (processor time %.3f s)\n", over, povMb,
                    povSeconds[run], povMb / povSeconds[run], povCpu[run]);
    }
    std::error_code error;
    for (const std::string& path : {obj, pov, inc}) std::filesystem::remove(path, error);
    return 0;
}
