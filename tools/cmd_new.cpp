// vexafol new: creates a drawing with a free number in an application folder.
#include <cstdio>

#include "tools/drawing_writer.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "tools/support/local_system.h"
#include "vexafol/filetime.h"
#include "vexafol/senyou.h"

namespace vexa::tool {

int RunNew(Args& args) {
  std::string root;
  FolderEnvironOptions options;
  if (!MakeStoreEnv(args, root, options)) return UsageError(args.error());
  const long appId = args.Number("app").value_or(0x1);
  const long pages = args.Number("pages").value_or(1);
  if (!args.ok()) return UsageError(args.error());
  if (pages < 0 || pages > 999) return UsageError("--pages must be 0 to 999");
  const FolderEnvironObj env(root, options);
  const std::string appFolder = GetSenyouPath(env, static_cast<int>(appId));
  if (appFolder.empty())
    return Fail("application " + HexId(appId) + " has no folder in this store");
  if (!GetSenyouAllowCreate(env, static_cast<int>(appId)))
    return Fail("a host of kind " + std::to_string(options.appType) +
                " may not create drawings for application " + HexId(appId));

  DrawingSpec spec;
  spec.title = args.Value("title").value_or("新規図面");
  spec.memo = args.Value("memo").value_or("");
  spec.creator = args.Value("creator").value_or(LoginName());
  spec.updater = spec.creator;
  spec.created = spec.updated = CurrentFileTime();
  for (long page = 0; page < pages; ++page)
    spec.pages.push_back({"ページ" + std::to_string(page + 1), "", static_cast<int>(page)});
  std::string error;
  const std::string folder = CreateDrawing(env, appFolder, spec, error);
  if (folder.empty()) return Fail(error);
  std::printf("%s\n", Printable(folder).c_str());
  return 0;
}

}  // namespace vexa::tool
