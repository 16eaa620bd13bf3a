// String resources.
#include "platform/resources.h"
#include "res/resource.h"

const char* FindStringResource(UINT id) {
  switch (id) {
    case IDS_ABOUTBOX: return "Morvek のﾊﾞｰｼﾞｮﾝ情報(&A)...";
    default: return nullptr;
  }
}
