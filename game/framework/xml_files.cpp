// Reading an XML file whole and parsing it into a document, and the file
// manager's one instance.
#include <tinyxml.h>

#include <memory>
#include <new>

#include "framework/files/file_access_table.h"
#include "framework/files/file_read_interface.h"
#include "game/framework/resource_managers.h"

bool LoadXmlDocumentFromFile(const char* file, char** bufferOut, TiXmlDocument** docOut) {
    const int size = GetFileSizeByName(file);
    if (size < 1) return false;
    const uintptr_t handle = OpenFileForRead(file, 0);
    if (handle == 0) return false;
    // One zero byte more, so the text always ends.
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[static_cast<size_t>(size) + 1]());
    if (buffer == nullptr) {
        FileStreamClose(handle);
        return false;
    }
    if (ReadFileBytes(buffer.get(), size, handle) == 0) {
        FileStreamClose(handle);
        return false;
    }
    *bufferOut = buffer.release();
    *docOut = new TiXmlDocument;
    (*docOut)->Parse(*bufferOut);
    FileStreamClose(handle);
    return true;
}

namespace File {

Manager* Manager::GetInstance() {
    static Manager instance;
    return &instance;
}

Manager::Manager() = default;

Manager::~Manager() = default;

}  // namespace File
