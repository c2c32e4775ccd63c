#ifndef VESTIGA_IO_FILE_DATASOURCE_H
#define VESTIGA_IO_FILE_DATASOURCE_H

#include <cstddef>
#include <functional>

namespace io {
namespace file {

// Bytes to be saved, handed out in pieces as they are made, so that no whole
// copy of them is ever held: a dump of tens of millions of entries is written
// as it is serialized. A save may ask for the bytes more than once (to write
// them in place after a replacement was refused); each time they are the same.
class DataSource {
public:
    // Takes one piece; false, with the last error set, when it cannot.
    typedef std::function<bool(const char* data, std::size_t size)> Writer;

    virtual ~DataSource() {}
    // Hands every byte, in order, to `write`; stops at the first piece it
    // refuses. Whether every piece was taken.
    virtual bool writeTo(const Writer& write) const = 0;
    // Whether the bytes are for their owner's eyes only: a new file of them
    // is then readable by its owner alone.
    virtual bool isPrivate() const { return false; }
};

}  // namespace file
}  // namespace io

#endif
