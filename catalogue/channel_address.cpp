#include "catalogue/channel_address.h"

#include <cstring>
#include <vector>

#include "catalogue/blowfish.h"

namespace vantelo {
namespace {

std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
           (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

const std::uint8_t* FindRecord(ChannelCode code, const AddressTable& table)
{
    const int tableNumber = TableOf(code);
    if (tableNumber < 1 || tableNumber > kTableCount)
        return nullptr;
    const AddressSubTable& subTable = table.subTables[tableNumber - 1];
    const auto index = static_cast<std::size_t>(IndexOf(code));
    if (index >= subTable.count)
        return nullptr;
    return subTable.records[index];
}

}  // namespace

QString DecodeChannelAddress(ChannelCode code, const AddressTable& table)
{
    const std::uint8_t* record = FindRecord(code, table);
    if (record == nullptr)
        return {};
    const std::uint32_t length = ReadLittleEndian32(record);
    // An empty record names no stream (and its empty buffer has no data to search).
    if (length == 0 || length > kMaxRecordLength)
        return {};

    BlowfishContext context;
    BlowfishInit(context);
    std::vector<std::uint8_t> plaintext(length);
    BlowfishDecipherBuffer(context, record + 4, length, plaintext.data());

    // The address ends at the first zero byte, or at the end of the record when a
    // damaged record has none.
    const auto* begin = reinterpret_cast<const char*>(plaintext.data());
    const void* zero = std::memchr(begin, 0, length);
    const qsizetype byteCount = zero ? static_cast<const char*>(zero) - begin : length;
    QString address = QString::fromUtf8(begin, byteCount);

    qsizetype end = address.size();
    while (end > 0 && address.at(end - 1).isSpace())
        --end;
    address.truncate(end);

    // A cut address would name another stream; refuse it instead.
    if (address.size() > kMaxAddressUnits)
        return {};
    return address;
}

QString DecodeChannelAddress(ChannelCode code)
{
    return DecodeChannelAddress(code, CatalogueAddressTable());
}

}  // namespace vantelo
