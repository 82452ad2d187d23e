#include "bench/fuse_nodes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

namespace vexa::bench {
namespace {

std::mutex g_mutex;  // guards every node and the table
int g_source = -1;
Node g_root;
std::map<std::pair<dev_t, ino_t>, Node*> g_named;  // nodes by the file their name holds

}  // namespace

void SetSourceFolder(int fd) {
  g_source = fd;
}

Node& NodeOf(fuse_ino_t ino) {
  return ino == FUSE_ROOT_ID ? g_root : *reinterpret_cast<Node*>(ino);
}

std::string PathOf(const Node& node) {
  const std::lock_guard guard(g_mutex);
  std::vector<const std::string*> names;
  for (const Node* n = &node; n != &g_root; n = n->parent) {
    if (n->name.empty()) return "";
    names.push_back(&n->name);
  }
  std::string path = ".";
  for (auto name = names.rbegin(); name != names.rend(); ++name) path += "/" + **name;
  return path;
}

std::string PathIn(fuse_ino_t parent, const char* name) {
  const std::string folder = PathOf(NodeOf(parent));
  return folder.empty() ? "" : folder + "/" + name;
}

int StatOf(Node& node, struct stat& st) {
  {
    const std::lock_guard guard(g_mutex);
    if (!node.openFds.empty()) return fstat(*node.openFds.begin(), &st) < 0 ? errno : 0;
  }
  return fstatat(g_source, PathOf(node).c_str(), &st, AT_SYMLINK_NOFOLLOW) < 0 ? errno : 0;
}

int LookUp(fuse_ino_t parent, const char* name, fuse_entry_param& entry) {
  entry = {};
  if (fstatat(g_source, PathIn(parent, name).c_str(), &entry.attr, AT_SYMLINK_NOFOLLOW) < 0)
    return errno;
  const std::lock_guard guard(g_mutex);
  Node*& node = g_named[{entry.attr.st_dev, entry.attr.st_ino}];
  if (!node) node = new Node{nullptr, "", {entry.attr.st_dev, entry.attr.st_ino}, 0, {}};
  node->parent = &NodeOf(parent);  // where it was found last (a hard link, a rename outside)
  node->name = name;
  ++node->lookups;
  entry.ino = reinterpret_cast<fuse_ino_t>(node);
  return 0;
}

void Forget(fuse_ino_t ino, uint64_t count) {
  Node& node = NodeOf(ino);
  if (&node == &g_root) return;
  const std::lock_guard guard(g_mutex);
  if ((node.lookups -= count) > 0) return;
  const auto found = g_named.find(node.id);
  if (found != g_named.end() && found->second == &node) g_named.erase(found);
  delete &node;
}

Node* NamedNode(fuse_ino_t parent, const char* name) {
  struct stat st;
  if (fstatat(g_source, PathIn(parent, name).c_str(), &st, AT_SYMLINK_NOFOLLOW) < 0) return nullptr;
  const std::lock_guard guard(g_mutex);
  const auto found = g_named.find({st.st_dev, st.st_ino});
  return found == g_named.end() ? nullptr : found->second;
}

void Unname(Node* node) {
  if (!node) return;
  const std::lock_guard guard(g_mutex);
  node->name.clear();
  const auto found = g_named.find(node->id);
  if (found != g_named.end() && found->second == node) g_named.erase(found);
}

void Move(Node* node, fuse_ino_t parent, const char* name) {
  if (!node) return;
  const std::lock_guard guard(g_mutex);
  node->parent = &NodeOf(parent);
  node->name = name;
}

void AddOpen(Node& node, int fd) {
  const std::lock_guard guard(g_mutex);
  node.openFds.insert(fd);
}

void RemoveOpen(Node& node, int fd) {
  const std::lock_guard guard(g_mutex);
  node.openFds.erase(fd);
}

}  // namespace vexa::bench
