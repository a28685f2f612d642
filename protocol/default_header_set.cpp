#include "protocol/printer_commands.h"

namespace quillet {

// Written as they stand: the leading spaces are the maker's own layout.
const std::array<std::string_view, 6> kDefaultHeaderSet = {
    "H1,4,\"  Brellic Technology\"\n",         "H2,2,\"        418 Larkspur Blvd\"\n",
    "H3,2,\"        Springdale, ZZ 00000\"\n", "H4,2,\"        TEL: (555) 010-2000\"\n",
    "H5,2,\"        FAX: (555) 010-2001\"\n",  "H6,3,\"      Measured with Care\"\n",
};

}  // namespace quillet
