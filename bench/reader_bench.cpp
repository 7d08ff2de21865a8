// Read throughput of the DXF reader: writes a file of many 3DFACE entities
// into a temporary folder, reads it in single-object mode without vertex
// cleaning, reports MB/s and deletes the file.
//
//   reader_bench [FACES]   (default 1000000, about 190 MB)
//   reader_bench FILE.dxf  (reads an existing file, for profiling)
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

#include "convert/drawing_load.h"

namespace {

void AppendNumber(std::string& out, double value) {
    char digits[32];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4);
    out.append(digits, result.ptr);
    out.append("\r\n");
}

// One quadrilateral per face on a wavy grid, with the groups the usual CAD
// programs write, so that the file is about 190 bytes per face.
bool WriteFaces(const std::filesystem::path& path, long faces) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::string out = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
    for (long i = 0; i < faces; ++i) {
        const double x = static_cast<double>(i % 1000);
        const double y = static_cast<double>(i / 1000);
        out.append("  0\r\n3DFACE\r\n  8\r\nMESH\r\n");
        const double corners[4][2] = {{x, y}, {x + 1, y}, {x + 1, y + 1}, {x, y + 1}};
        for (int k = 0; k < 4; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                out.append(" ");
                out.append(std::to_string(10 * (axis + 1) + k));
                out.append("\r\n");
                const double value =
                    axis < 2 ? corners[k][axis] : 0.001 * static_cast<double>((i * 7 + k) % 997);
                AppendNumber(out, value);
            }
        }
        if (out.size() > (1u << 20)) {
            if (std::fwrite(out.data(), 1, out.size(), file) != out.size())
                return std::fclose(file), false;
            out.clear();
        }
    }
    out.append("  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    const bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
}

// Reads path in single-object mode without cleaning and reports the rate.
int ReadAndReport(const std::filesystem::path& path) {
    const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    vertoko::MeshObject* table = nullptr;
    std::string message;
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    vertoko::ReaderOptions options;
    options.dxfClv = 0;
    vertoko::DrawingLoad load = vertoko::LoadDrawing(file, options);
    const std::int32_t count = load.count;
    table = load.objects;
    message = load.message;
    const auto stop = std::chrono::steady_clock::now();
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::fclose(file);
    const double seconds = std::chrono::duration<double>(stop - start).count();
    std::printf("%s\n", message.c_str());
    if (count == 1) {
        std::printf("%d vertices, %d polygons\n", table[0].vertexCount, table[0].polygonCount);
    }
    std::printf("%.1f MB in %.3f s: %.1f MB/s (processor time %.3f s: %.1f MB/s)\n", megabytes,
                seconds, megabytes / seconds, cpuSeconds, megabytes / cpuSeconds);
    vertoko::FreeObjectTable(count, table);
    return count == 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    char* rest = nullptr;
    const long faces = argc > 1 ? std::strtol(argv[1], &rest, 10) : 1000000;
    if (argc > 1 && (*rest != '\0' || faces <= 0)) return ReadAndReport(argv[1]);

    std::error_code error;
    std::string pattern =
        (std::filesystem::temp_directory_path(error) / "vertoko-bench-XXXXXX").string();
    if (error || mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    const std::filesystem::path path = folder / "faces.dxf";
    int status = 1;
    if (WriteFaces(path, faces)) {
        std::printf("%ld faces written\n", faces);
        status = ReadAndReport(path);
    } else {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    }
    std::filesystem::remove_all(folder, error);
    return status;
}
