#include "host/engine/musicxml/mxlarchive.h"

#include <zip.h>

#include <pugixml.hpp>

#include <cstring>
#include <memory>

namespace tonaroengine::musicxml {

namespace {

constexpr const char* kContainerName = "META-INF/container.xml";
constexpr const char* kMusicXmlMediaType = "application/vnd.recordare.musicxml+xml";

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

// Opens an archive over a copy-free view of bytes (read only), or over a
// writable buffer source when source is given (the caller keeps it).
ZipPtr OpenArchive(const void* data, size_t size, int flags, zip_source_t** keptSource, std::string* why)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    if (!source) {
        *why = std::string("cannot read the archive: ") + zip_error_strerror(&error);
        zip_error_fini(&error);
        return nullptr;
    }
    if (keptSource) zip_source_keep(source);
    zip_t* archive = zip_open_from_source(source, flags, &error);
    if (!archive) {
        *why = std::string("not a readable zip archive: ") + zip_error_strerror(&error);
        zip_source_free(source);
        if (keptSource) zip_source_free(source);
        zip_error_fini(&error);
        return nullptr;
    }
    zip_error_fini(&error);
    if (keptSource) *keptSource = source;
    return ZipPtr(archive);
}

// Inflates one member, refusing more than limit bytes whatever the header says.
bool ReadMember(zip_t* archive, zip_uint64_t index, uint64_t limit, std::vector<uint8_t>* out, std::string* why)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0) {
        *why = "cannot read an archive member";
        return false;
    }
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limit) {
        *why = std::string("the archive member \"") + stat.name + "\" is too large";
        return false;
    }
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (!file) {
        *why = std::string("cannot open the archive member \"") + stat.name + "\"";
        return false;
    }
    out->clear();
    uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        const zip_int64_t got = zip_fread(file, chunk, sizeof chunk);
        if (got < 0) {
            *why = std::string("the archive member \"") + stat.name + "\" is damaged";
            ok = false;
            break;
        }
        if (got == 0) break;
        if (out->size() + static_cast<uint64_t>(got) > limit) {
            *why = std::string("the archive member \"") + stat.name + "\" is too large";
            ok = false;
            break;
        }
        out->insert(out->end(), chunk, chunk + got);
    }
    zip_fclose(file);
    return ok;
}

// Reads the bytes that a written buffer source ended up with.
bool TakeSourceBytes(zip_source_t* source, std::vector<uint8_t>* out, std::string* why)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) || zip_source_open(source) != 0) {
        *why = "cannot assemble the archive";
        return false;
    }
    out->resize(stat.size);
    const zip_int64_t got = out->empty() ? 0 : zip_source_read(source, out->data(), out->size());
    zip_source_close(source);
    if (got < 0 || static_cast<uint64_t>(got) != stat.size) {
        *why = "cannot assemble the archive";
        return false;
    }
    return true;
}

bool AddBuffer(zip_t* archive, const char* name, const std::string& bytes, bool store, std::string* why)
{
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    if (!source) {
        *why = "cannot add to the archive";
        return false;
    }
    const zip_int64_t index = zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(source);
        *why = "cannot add to the archive";
        return false;
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    return true;
}

}  // namespace

bool LooksLikeZip(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' && bytes[2] == 3 && bytes[3] == 4;
}

bool IsSafeMemberName(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
    if (name.size() >= 2 && name[1] == ':') return false;  // a drive letter
    if (name.find('\0') != std::string::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

bool ReadMxl(const std::vector<uint8_t>& bytes, const MusicXmlLimits& limits, std::string* rootMember,
             std::vector<uint8_t>* score, std::string* why)
{
    // The consistency check compares every member's local header with the
    // central directory: saving copies the other members as they are, and an
    // archive whose headers disagree would open but could never be saved.
    ZipPtr archive = OpenArchive(bytes.data(), bytes.size(), ZIP_RDONLY | ZIP_CHECKCONS, nullptr, why);
    if (!archive) return false;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || static_cast<uint64_t>(count) > limits.maxArchiveMembers) {
        *why = "the archive has too many members";
        return false;
    }
    uint64_t inflated = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &stat) != 0 || !stat.name) {
            *why = "cannot read the archive's directory";
            return false;
        }
        if (!IsSafeMemberName(stat.name)) {
            *why = std::string("the archive member \"") + stat.name + "\" lies outside the archive";
            return false;
        }
        if (stat.valid & ZIP_STAT_SIZE) {
            if (stat.size > limits.maxMemberBytes) {
                *why = std::string("the archive member \"") + stat.name + "\" is too large";
                return false;
            }
            inflated += stat.size;
        }
    }
    if (inflated > limits.maxInflatedBytes) {
        *why = "the archive inflates to more than allowed";
        return false;
    }

    const zip_int64_t containerIndex = zip_name_locate(archive.get(), kContainerName, 0);
    if (containerIndex < 0) {
        *why = "the archive has no META-INF/container.xml";
        return false;
    }
    std::vector<uint8_t> container;
    if (!ReadMember(archive.get(), static_cast<zip_uint64_t>(containerIndex), limits.maxMemberBytes, &container, why))
        return false;
    pugi::xml_document doc;
    if (!doc.load_buffer(container.data(), container.size(), pugi::parse_default & ~pugi::parse_doctype)) {
        *why = "META-INF/container.xml is not well-formed XML";
        return false;
    }
    std::string root;
    for (pugi::xml_node file : doc.child("container").child("rootfiles").children("rootfile")) {
        const char* mediaType = file.attribute("media-type").value();
        if (*mediaType == 0 || std::strcmp(mediaType, kMusicXmlMediaType) == 0) {
            root = file.attribute("full-path").value();
            break;
        }
    }
    if (root.empty()) {
        *why = "META-INF/container.xml names no MusicXML root file";
        return false;
    }
    if (!IsSafeMemberName(root)) {
        *why = "the root file \"" + root + "\" lies outside the archive";
        return false;
    }
    const zip_int64_t rootIndex = zip_name_locate(archive.get(), root.c_str(), 0);
    if (rootIndex < 0) {
        *why = "the root file \"" + root + "\" is missing from the archive";
        return false;
    }
    if (!ReadMember(archive.get(), static_cast<zip_uint64_t>(rootIndex), limits.maxMemberBytes, score, why))
        return false;
    *rootMember = root;
    return true;
}

bool ReplaceMxlMember(const std::vector<uint8_t>& bytes, const std::string& rootMember, const std::string& score,
                      std::vector<uint8_t>* out, std::string* why)
{
    zip_source_t* source = nullptr;
    ZipPtr archive = OpenArchive(bytes.data(), bytes.size(), 0, &source, why);
    if (!archive) return false;
    const zip_int64_t index = zip_name_locate(archive.get(), rootMember.c_str(), 0);
    zip_source_t* member = index < 0 ? nullptr : zip_source_buffer(archive.get(), score.data(), score.size(), 0);
    if (!member || zip_file_replace(archive.get(), static_cast<zip_uint64_t>(index), member, 0) != 0) {
        if (member) zip_source_free(member);
        zip_source_free(source);
        *why = "cannot replace the score in the archive";
        return false;
    }
    if (zip_close(archive.get()) != 0) {
        *why = std::string("cannot write the archive: ") + zip_strerror(archive.get());
        zip_source_free(source);
        return false;
    }
    archive.release();  // zip_close freed it
    const bool ok = TakeSourceBytes(source, out, why);
    zip_source_free(source);
    return ok;
}

bool MakeMxl(const std::string& memberName, const std::string& score, std::vector<uint8_t>* out, std::string* why)
{
    zip_source_t* source = nullptr;
    ZipPtr archive = OpenArchive(nullptr, 0, ZIP_TRUNCATE, &source, why);
    if (!archive) return false;
    static const std::string kMimetype = "application/vnd.recordare.musicxml";
    const std::string container =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<container>\n  <rootfiles>\n    <rootfile full-path=\"" + memberName + "\" media-type=\"" +
        kMusicXmlMediaType + "\"/>\n  </rootfiles>\n</container>\n";
    if (!AddBuffer(archive.get(), "mimetype", kMimetype, true, why) ||
        !AddBuffer(archive.get(), kContainerName, container, false, why) ||
        !AddBuffer(archive.get(), memberName.c_str(), score, false, why)) {
        zip_source_free(source);
        return false;
    }
    if (zip_close(archive.get()) != 0) {
        *why = std::string("cannot write the archive: ") + zip_strerror(archive.get());
        zip_source_free(source);
        return false;
    }
    archive.release();
    const bool ok = TakeSourceBytes(source, out, why);
    zip_source_free(source);
    return ok;
}

}  // namespace tonaroengine::musicxml
