// The device ID through libieee1284, built as a module of its own (libzarnik_ieee1284.so)
// that the platform loads the first time a parallel port's device ID is asked for. A fresh ID
// is asked of the printer first (IEEE 1284 negotiation through ppdev); where that is not
// allowed or fails, the ID the kernel read at boot (autoprobe) is taken.
#include <ieee1284.h>

#include <string>

// The module's entry point: the raw ID of parportN (length field, text, zero) into raw, at
// most room bytes; the number of bytes, or a negative number when the port gives none.
extern "C" __attribute__((visibility("default"))) long ZarnikIeee1284DeviceId(int number, char* raw,
                                                                              size_t room) {
  parport_list ports{};
  if (ieee1284_find_ports(&ports, 0) != E1284_OK) {
    return -1;
  }
  const std::string name = "parport" + std::to_string(number);
  ssize_t got = -1;
  for (int i = 0; i < ports.portc && got < 0; ++i) {
    parport* port = ports.portv[i];
    if (port->name == nullptr || name != port->name) {
      continue;
    }
    got = ieee1284_get_deviceid(port, -1, F1284_FRESH, raw, room);
    if (got < 0) {
      got = ieee1284_get_deviceid(port, -1, 0, raw, room);
    }
  }
  ieee1284_free_ports(&ports);
  return static_cast<long>(got);
}
