// What a screen reader announces for controls that the system describes
// poorly on its own: statics that act as links, a sentence laid out in
// pieces, a progress bar without a label. Given through the system's
// annotation service (oleacc's dynamic annotation, created through COM on the
// window thread); where the service is missing nothing is annotated and the
// controls keep what the system says of them (their window texts). Windows
// build only.
#ifndef UI_ACCESSIBLE_ANNOTATIONS_H_
#define UI_ACCESSIBLE_ANNOTATIONS_H_

#include <windows.h>

#include <string>
#include <vector>

struct IAccPropServices;

namespace lite_installer {

class AccessibleAnnotations {
 public:
  AccessibleAnnotations() = default;
  // Clears every annotation it made and releases the service.
  ~AccessibleAnnotations();
  AccessibleAnnotations(const AccessibleAnnotations&) = delete;
  AccessibleAnnotations& operator=(const AccessibleAnnotations&) = delete;

  // A link: the role link, named by `name`.
  void Link(HWND control, const std::wstring& name);
  // A static or a progress bar named by `name` (a whole sentence, a label).
  void Name(HWND control, const std::wstring& name);
  // A piece of text already read as part of another control's name: left
  // out of what the screen reader walks through.
  void Hide(HWND control);
  // Drops every annotation, while the controls still exist.
  void ClearAll();

  // Whether the service could be created. Wine 8 creates it, but answers
  // every annotation with E_NOTIMPL.
  bool Available();

 private:
  IAccPropServices* services_ = nullptr;
  bool looked_up_ = false;
  std::vector<HWND> annotated_;
};

}  // namespace lite_installer

#endif  // UI_ACCESSIBLE_ANNOTATIONS_H_
