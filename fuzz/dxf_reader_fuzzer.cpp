// Feeds arbitrary bytes to the reader. The first byte chooses the reader
// options (multi-object, cleaning, lenient reading, block expansion, drawing
// colours, entities with thickness, and in two bits together the cleaning
// distance, the unit to convert to and the segments per circle; cleaning
// with lenient reading also reads visible layers only, cleaning with block
// expansion also chooses layers by patterns); the rest is the file, text or
// binary DXF (the seeds in corpus/ start their files after their options
// byte; those with code pages and escapes in their layer names reach the
// decoding).
// Besides the sanitizers' checks, every table the reader hands over must
// keep its counts and corner indices consistent, its polygons must carry a
// colour exactly when colours are on and a layer of the read's layers,
// whose face counts add up to the table's. One input in four (by its
// size, so that a finding reproduces) is read once more from a file, on two
// threads however small the file is, and must give the same result to the
// bit; a file and a thread per read cost too much to do it for all.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "convert/drawing_load.h"
#include "dxf/drawing/block_expansion.h"
#include "dxf/drawing/unconverted_report.h"
#include "dxf/split_reading.h"

namespace {

void CheckTable(std::int32_t count, const vertoko::MeshObject* table, bool colors,
                const vertoko::DrawingLayers& layers) {
    std::vector<std::int64_t> faces(layers.layers.size(), 0);
    if (layers.objects.size() != static_cast<std::size_t>(count)) std::abort();
    for (std::int32_t i = 0; i < count; ++i) {
        const vertoko::MeshObject& object = table[i];
        std::int32_t vertices = 0;
        for (const vertoko::MeshVertex* v = object.vertices; v != nullptr; v = v->next) {
            if (object.vtbl[vertices] != v) std::abort();
            ++vertices;
        }
        if (vertices != object.vertexCount) std::abort();
        std::int32_t polygons = 0;
        for (const vertoko::MeshPolygon* p = object.polygons; p != nullptr; p = p->next) {
            if (object.ptbl[polygons] != p || p->cornerCount < 1) std::abort();
            if (colors != ((p->color & vertoko::kPolygonColorSet) != 0)) std::abort();
            if ((p->color & ~(vertoko::kPolygonColorSet | 0xFFFFFFu)) != 0) std::abort();
            if (p->layer < 0 || static_cast<std::size_t>(p->layer) >= faces.size()) std::abort();
            ++faces[static_cast<std::size_t>(p->layer)];
            for (std::int32_t k = 0; k < p->cornerCount; ++k) {
                if (p->p[k] < 0 || p->p[k] >= object.vertexCount) std::abort();
            }
            ++polygons;
        }
        if (polygons != object.polygonCount) std::abort();
    }
    for (std::size_t l = 0; l < faces.size(); ++l) {
        if (faces[l] != layers.layers[l].faces) std::abort();
    }
}

void CheckSameTables(std::int32_t count, const vertoko::MeshObject* a,
                     const vertoko::MeshObject* b) {
    for (std::int32_t i = 0; i < count; ++i) {
        if (a[i].vertexCount != b[i].vertexCount || a[i].polygonCount != b[i].polygonCount)
            std::abort();
        for (std::int32_t v = 0; v < a[i].vertexCount; ++v) {
            if (std::memcmp(a[i].vtbl[v], b[i].vtbl[v], 3 * sizeof(float)) != 0) std::abort();
        }
        for (std::int32_t j = 0; j < a[i].polygonCount; ++j) {
            const vertoko::MeshPolygon& p = *a[i].ptbl[j];
            const vertoko::MeshPolygon& q = *b[i].ptbl[j];
            if (p.cornerCount != q.cornerCount || p.color != q.color || p.layer != q.layer)
                std::abort();
            for (std::int32_t k = 0; k < p.cornerCount; ++k) {
                if (p.p[k] != q.p[k]) std::abort();
            }
        }
    }
}

// Reads the file part of the input from a temporary file, where a second
// reader can start in the middle.
void CheckTwoReaders(const std::uint8_t* data, std::size_t size,
                     const vertoko::ReaderOptions& options, const vertoko::DrawingLoad& first) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return;
    if (std::fwrite(data, 1, size, file) != size || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return;
    }
    vertoko::SetSplitSizeForTesting(0);
    vertoko::DrawingLoad second = vertoko::LoadDrawing(file, options);
    vertoko::MeshObject* other = second.objects;
    const std::int32_t otherCount = second.count;
    const std::string& otherMessage = second.message;
    vertoko::SetSplitSizeForTesting(-1);
    std::fclose(file);
    if (otherCount != first.count || otherMessage != first.message ||
        second.unconverted != first.unconverted ||
        second.refusedSkippable != first.refusedSkippable ||
        second.layers.layers.size() != first.layers.layers.size())
        std::abort();
    for (std::size_t l = 0; l < first.layers.layers.size(); ++l) {
        if (second.layers.layers[l].name != first.layers.layers[l].name ||
            second.layers.layers[l].faces != first.layers.layers[l].faces)
            std::abort();
    }
    CheckSameTables(first.count, first.objects, other);
    vertoko::FreeObjectTable(otherCount, other);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    vertoko::ReaderOptions options;
    options.dxfMulti = data[0] & 1;
    options.dxfClv = (data[0] >> 1) & 1;
    options.dxfSkip = (data[0] >> 2) & 1;
    options.dxfInsert = (data[0] >> 3) & 1;
    options.dxfColor = (data[0] >> 4) & 1;
    const int extra = (data[0] >> 5) & 3;
    options.dxfVdist = static_cast<float>(extra) * 0.25f;
    // As drawn, metres, inches (a factor that is no whole multiple or
    // divisor of the drawing's own unit as a rule) and millimetres.
    constexpr vertoko::OutputUnit kUnits[] = {vertoko::OutputUnit::AsDrawn,
                                              vertoko::OutputUnit::Metre, vertoko::OutputUnit::Inch,
                                              vertoko::OutputUnit::Millimetre};
    options.outUnits = static_cast<std::int32_t>(kUnits[extra]);
    options.dxfThick = data[0] >> 7;
    constexpr std::int32_t kSegments[] = {32, 3, 7, 64};
    options.dxfSegments = kSegments[extra];
    if ((data[0] & 0x06) == 0x06) options.dxfVisible = 1;
    if ((data[0] & 0x0A) == 0x0A) {
        // Sets, a negated set, several stars, and characters of Japanese
        // names as the seeds spell them.
        options.dxfLayers = "*[0-9]*,[!a-m]?*,壁*,*\\U+*";
        options.dxfNoLayers = "*[xX]*,?枠";
    }
    // Small enough that a crafted grid of insertions is refused quickly.
    vertoko::SetExpansionMemoryBudget(std::uint64_t{64} << 20);
    // fmemopen reads the bytes where they lie; an empty file needs a real one.
    std::FILE* file =
        size > 1 ? fmemopen(const_cast<std::uint8_t*>(data + 1), size - 1, "rb") : std::tmpfile();
    if (file == nullptr) return 0;

    vertoko::DrawingLoad load = vertoko::LoadDrawing(file, options);
    std::fclose(file);
    vertoko::MeshObject* table = load.objects;
    const std::int32_t count = load.count;
    const std::string& message = load.message;
    const std::string& report = load.unconverted;
    if (size % 4 == 1) CheckTwoReaders(data + 1, size - 1, options, load);
    // The log lines of the read must be built without fault too.
    // Skipped polylines come first in the report, right after its heading;
    // a block name elsewhere in the line may hold the same words.
    if (!options.dxfSkip &&
        report.rfind(std::string("変換しなかった図形：") + std::string(vertoko::kSkippedPolyline),
                     0) == 0)
        std::abort();
    if (count > 0) {
        CheckTable(count, table, options.dxfColor != 0, load.layers);
        (void)vertoko::ComputeExtents(count, table);
    } else if (table != nullptr || message.empty()) {
        std::abort();
    }
    vertoko::FreeObjectTable(count, table);
    return 0;
}
