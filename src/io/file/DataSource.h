#ifndef VESTIGA_IO_FILE_DATASOURCE_H
#define VESTIGA_IO_FILE_DATASOURCE_H

#include <cstddef>
#include <functional>

namespace io {
namespace file {

// Bytes to be saved, handed out in pieces as they are made, so that no whole
// copy of them is ever held: a dump of tens of millions of entries is written
// as its scan goes. A save asks for the bytes once.
class DataSource {
public:
    // Takes one piece; false, with the last error set, when it cannot.
    typedef std::function<bool(const char* data, std::size_t size)> Writer;

    virtual ~DataSource() {}
    // Hands every byte, in order, to `write`; stops at the first piece it
    // refuses. Whether every piece was taken; false as well when the source
    // withdrew.
    virtual bool writeTo(const Writer& write) = 0;
    // Whether the bytes are for their owner's eyes only: a new file of them
    // is then readable by its owner alone.
    virtual bool isPrivate() const { return false; }
    // Whether the source, asked for its bytes, declined to give them after
    // all: the save then ends without a word, and the target stays as it was.
    virtual bool withdrew() const { return false; }
};

}  // namespace file
}  // namespace io

#endif
