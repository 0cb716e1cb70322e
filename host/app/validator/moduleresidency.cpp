#include "host/app/validator/moduleresidency.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace tonaroapp::validator {

namespace {

// The binding of symbols that the dynamic loader keeps unique process-wide
// (and so never unloads); not named by every <elf.h>.
constexpr unsigned char kBindGnuUnique = 10;

// What the validator reads of a module's file: the parts of its dynamic
// section and symbol table that keep a module mapped.
struct DynamicFacts {
    bool readable = false;
    bool nodelete = false;
    std::string soname;
    std::vector<std::string> needed;
    std::vector<std::string> uniqueSymbols;
    bool registersThreadLocalDestructors = false;
};

class ElfFile {
public:
    explicit ElfFile(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~ElfFile()
    {
        if (fd_ >= 0) close(fd_);
    }
    ElfFile(const ElfFile&) = delete;
    ElfFile& operator=(const ElfFile&) = delete;

    // Reads size bytes at offset; false when the file is shorter.
    bool Read(uint64_t offset, void* out, size_t size) const
    {
        if (fd_ < 0) return false;
        size_t done = 0;
        while (done < size) {
            const ssize_t got = pread(fd_, static_cast<char*>(out) + done, size - done,
                                      static_cast<off_t>(offset + done));
            if (got <= 0) return false;
            done += static_cast<size_t>(got);
        }
        return true;
    }

    bool ReadSection(const Elf64_Shdr& section, std::vector<char>* out) const
    {
        constexpr uint64_t kLargestSection = 256ull << 20;
        if (section.sh_type == SHT_NOBITS || section.sh_size > kLargestSection) return false;
        out->resize(section.sh_size);
        return Read(section.sh_offset, out->data(), out->size());
    }

private:
    int fd_;
};

// The string at offset of a string table; "" when outside it.
std::string StringAt(const std::vector<char>& table, uint64_t offset)
{
    if (offset >= table.size()) return {};
    const char* start = table.data() + offset;
    return std::string(start, strnlen(start, table.size() - offset));
}

DynamicFacts ReadDynamicFacts(const std::string& path)
{
    DynamicFacts facts;
    ElfFile file(path);
    Elf64_Ehdr header{};
    if (!file.Read(0, &header, sizeof header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shnum == 0)
        return facts;
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    if (!file.Read(header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr))) return facts;
    facts.readable = true;

    auto linkedStrings = [&](const Elf64_Shdr& section, std::vector<char>* strings) {
        return section.sh_link < sections.size() && file.ReadSection(sections[section.sh_link], strings);
    };
    for (const Elf64_Shdr& section : sections) {
        std::vector<char> bytes, strings;
        if (section.sh_type == SHT_DYNAMIC) {
            if (!file.ReadSection(section, &bytes) || !linkedStrings(section, &strings)) continue;
            const size_t count = bytes.size() / sizeof(Elf64_Dyn);
            for (size_t i = 0; i < count; ++i) {
                Elf64_Dyn entry;
                std::memcpy(&entry, bytes.data() + i * sizeof entry, sizeof entry);
                if (entry.d_tag == DT_NULL) break;
                if (entry.d_tag == DT_FLAGS_1 && (entry.d_un.d_val & DF_1_NODELETE)) facts.nodelete = true;
                if (entry.d_tag == DT_SONAME) facts.soname = StringAt(strings, entry.d_un.d_val);
                if (entry.d_tag == DT_NEEDED) facts.needed.push_back(StringAt(strings, entry.d_un.d_val));
            }
        } else if (section.sh_type == SHT_DYNSYM) {
            if (!file.ReadSection(section, &bytes) || !linkedStrings(section, &strings)) continue;
            const size_t count = bytes.size() / sizeof(Elf64_Sym);
            for (size_t i = 0; i < count; ++i) {
                Elf64_Sym symbol;
                std::memcpy(&symbol, bytes.data() + i * sizeof symbol, sizeof symbol);
                const std::string name = StringAt(strings, symbol.st_name);
                if (symbol.st_shndx == SHN_UNDEF) {
                    if (name == "__cxa_thread_atexit" || name == "__cxa_thread_atexit_impl")
                        facts.registersThreadLocalDestructors = true;
                } else if (ELF64_ST_BIND(symbol.st_info) == kBindGnuUnique) {
                    facts.uniqueSymbols.push_back(name);
                }
            }
        }
    }
    return facts;
}

std::string Canonical(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

// Paths of the objects the loader has loaded now.
std::vector<std::string> LoadedObjects()
{
    std::vector<std::string> paths;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                static_cast<std::vector<std::string>*>(data)->push_back(info->dlpi_name);
            return 0;
        },
        &paths);
    return paths;
}

std::string FileName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<MappedRange> MappedRangesOf(const std::string& path)
{
    std::vector<MappedRange> ranges;
    struct stat file{};
    if (stat(path.c_str(), &file) != 0) return ranges;
    const std::string canonical = Canonical(path);
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        unsigned long start = 0, end = 0, offset = 0, inode = 0;
        unsigned int devMajor = 0, devMinor = 0;
        char permissions[8] = {};
        int consumed = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx %7s %lx %x:%x %lu %n", &start, &end, permissions, &offset, &devMajor,
                        &devMinor, &inode, &consumed) < 7)
            continue;
        const std::string mappedPath = consumed > 0 ? line.substr(static_cast<size_t>(consumed)) : std::string();
        const bool sameFile = inode == file.st_ino && devMajor == major(file.st_dev) && devMinor == minor(file.st_dev);
        if (sameFile || (!mappedPath.empty() && mappedPath == canonical)) ranges.push_back({start, end});
    }
    return ranges;
}

std::string DescribeSpan(const std::vector<MappedRange>& ranges)
{
    if (ranges.empty()) return {};
    uintptr_t low = ranges.front().start, high = ranges.front().end;
    for (const MappedRange& range : ranges) {
        low = std::min(low, range.start);
        high = std::max(high, range.end);
    }
    char text[64];
    std::snprintf(text, sizeof text, "0x%llx-0x%llx", static_cast<unsigned long long>(low),
                  static_cast<unsigned long long>(high));
    return text;
}

std::vector<std::string> ReasonsModuleStaysMapped(const std::string& path)
{
    std::vector<std::string> reasons;
    const DynamicFacts facts = ReadDynamicFacts(path);
    if (facts.nodelete) reasons.push_back("it is marked NODELETE (linked with -z nodelete)");
    if (!facts.uniqueSymbols.empty()) {
        std::string names;
        const size_t shown = std::min<size_t>(facts.uniqueSymbols.size(), 3);
        for (size_t i = 0; i < shown; ++i) names += (i == 0 ? "" : ", ") + facts.uniqueSymbols[i];
        if (facts.uniqueSymbols.size() > shown) names += ", ...";
        reasons.push_back("it defines " + std::to_string(facts.uniqueSymbols.size()) +
                          " unique (STB_GNU_UNIQUE) symbols from inline or template statics (" + names +
                          "; build with -fno-gnu-unique or hide them)");
    }
    if (facts.registersThreadLocalDestructors)
        reasons.push_back("it registers destructors of thread_local objects (__cxa_thread_atexit): the C library "
                          "keeps it until every thread that used them has ended");

    // Loaded objects that name it among their needed libraries.
    const std::string canonical = Canonical(path);
    const std::string ownName = FileName(canonical);
    for (const std::string& object : LoadedObjects()) {
        if (Canonical(object) == canonical) continue;
        const DynamicFacts other = ReadDynamicFacts(object);
        for (const std::string& needed : other.needed) {
            if (needed == ownName || (!facts.soname.empty() && needed == facts.soname)) {
                reasons.push_back("the loaded object " + object + " needs it");
                break;
            }
        }
    }
    return reasons;
}

}  // namespace tonaroapp::validator
