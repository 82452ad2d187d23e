// The texts of a deletion and the container names of the recycle folder.
#include "vexafol/dialog_mode.h"
#include "vexafol/recycle.h"
#include "vexafol/senyou.h"
#include "vexafol/utf8.h"

namespace vexa {
namespace {

// Longest name one folder entry may have, in bytes.
constexpr size_t kNameMax = 255;

}  // namespace

std::string DeleteRefusal(const FolMember& member, int flagWord) {
  if (flagWord & kModePageOnly) return "ページファイルでしか実行できません。";
  if (member.lockState != 0) return "この図面はロックされています。";
  return "";
}

std::string DeleteLabel(const CEnvironObj& env, const FolMember& member) {
  return "図面 [" + std::to_string(member.GetDrawingNo(env)) + "] \"" + member.header.Title() +
         "\"";
}

std::string DeleteQuestion(const std::string& label) {
  return label + " を削除してもよろしいですか？";
}

std::string DeleteDone(const std::string& label) {
  return label + " を削除しました。";
}

std::string DeleteFailed(const std::string& label, const std::string& error) {
  std::string text = label + " の削除に失敗しました。";
  if (!error.empty()) text += "\n\n" + error;
  return text;
}

// The nine characters are ASCII, and ASCII bytes never occur inside a
// multi-byte UTF-8 character, so replacing bytes replaces characters.
std::string ReplaceFileNameChars(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    switch (c) {
      case '\\':
        out += "￥";
        break;
      case '/':
        out += "／";
        break;
      case ':':
        out += "：";
        break;
      case '*':
        out += "＊";
        break;
      case '?':
        out += "？";
        break;
      case '"':
        out += "”";
        break;
      case '<':
        out += "＜";
        break;
      case '>':
        out += "＞";
        break;
      case '|':
        out += "｜";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string RecycleContainerName(const CEnvironObj& env, const FolMember& member, int n) {
  const std::string dataPath = env.GetDataPath();
  const int folderNo = env.GetFNo();
  const int siteNo = env.GetGNo();
  const std::string head = "[" + env.GetFolderName(dataPath, folderNo) + env.GetExtStr(folderNo) +
                           "][" + env.GetGenbaName(dataPath, folderNo, siteNo) +
                           env.GetExtStr(siteNo) + "][" +
                           env.GetFileNameFromRelativePath(GetSenyouPath(env, member.appId)) + "][";
  const std::string tail = "]" + env.GetExtStr(n);
  // A name of 128 CP932 bytes can take three times as many in UTF-8: the
  // drawing name is cut so that the container name stays a valid file name.
  const size_t room =
      head.size() + tail.size() < kNameMax ? kNameMax - head.size() - tail.size() : 0;
  return head + CutUtf8(ReplaceFileNameChars(member.header.Title()), room) + tail;
}

}  // namespace vexa
