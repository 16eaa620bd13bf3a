// The port names of the port list.
#include "port/value_lists.h"

#include "platform/msvcrt.h"

CString PortNameText(int nPortIndex) {
  if (nPortIndex < 0 || nPortIndex >= PORT_COUNT) return CString();
  char szNumber[16] = {0};
  return CString("COM") + msvcrt::_itoa(nPortIndex + 1, szNumber, 10);
}
