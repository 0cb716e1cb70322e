// The platform listings of FCStrings: folder contents, installed fonts and
// the host's symbol fonts.
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/fcstring_nativepath.h"
#include "tonaroframework/base/fcstrings.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/stream/fctextfilestream.h"
#include "tonaropdk/hostapi/tonpathspec.h"

namespace {

// Appends the names of the entries of folder that pass filters, in name
// order (hidden entries, "." and ".." left out). false for a null or empty
// path, a path that cannot name a file, or a folder that cannot be read.
bool AppendFolderEntries(FCStrings* list, const FCString* folder, QDir::Filters filters)
{
    if (folder == nullptr || folder->IsEmpty()) return false;
    std::string native;
    if (!FCStringToNativePath(*folder, &native)) return false;
    const QDir directory(QString::fromUtf8(native.data(), static_cast<qsizetype>(native.size())));
    if (!directory.exists() || !directory.isReadable()) return false;
    const QStringList names = directory.entryList(filters | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        FCString entry;
        // Names come from the file system as UTF-8 bytes.
        if (!FCStringFromNativePath(&entry, name.toUtf8().constData())) continue;
        list->AddCopy(&entry);
    }
    return true;
}

}  // namespace

bool FCStrings::LoadFolderFiles(const FCString* folder) { return AppendFolderEntries(this, folder, QDir::Files); }

bool FCStrings::LoadSubfolders(const FCString* folder) { return AppendFolderEntries(this, folder, QDir::Dirs); }

bool FCStrings::LoadSystemFontNames()
{
    // The font database needs a GUI application.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    for (const QString& family : QFontDatabase::families()) {
        FCString name;
        name._SetPlatformUnits(reinterpret_cast<const unsigned short*>(family.utf16()), static_cast<int>(family.size()));
        AddCopy(&name);
    }
    return true;
}

bool FCStrings::LoadSymbolFonts()
{
    if (GetTonaroFrameworkVersion() < 0x11000000) return false;
    FCString folder;
    if (!folder._SetTonaroPath(TONPATH_CONFIGURATION_FILES)) return false;
    FCString fileName("macsymbolfonts.txt");
    FCTextFileStream stream(&folder, &fileName);
    if (!stream.OpenRead()) return false;
    FCStrings* lines = stream.ReadStrings();
    stream.Close();
    if (lines == nullptr) return false;
    lines->TrimWhitespaceAll();
    lines->ClearEmptyStrings();
    CopyFrom(lines);
    delete lines;
    return true;
}
