#pragma once
// The first steps of an update and of a companion download: with a public key
// configured, fetch "quillmereup.txt" into "quillmereup.ini" and
// "quillmereup.sig" beside the program, and check the signature over the
// descriptor's exact bytes before anything reads a key of it.
#include <cstdint>
#include <functional>
#include <string>

#include "app/update/downloader.h"
#include "app/update/file_fetch.h"

namespace qm {

struct SignedDescriptor {
  enum Status {
    Ok,
    NoKey,         // no public key: nothing was downloaded
    NetworkError,  // no descriptor, or no answer for the signature
    FileError,     // a file could not be saved beside the program
    BadSignature,  // no signature, a wrong one, or a wrong key
  };
  Status status = Ok;
  std::string statusLine;  // NetworkError: the server's last status line, may be empty
  std::string bytes;       // Ok: the descriptor's verified bytes
  std::int64_t received = 0, total = -1;  // of the descriptor, for the bar's end
};

class SignedDescriptorFetch {
 public:
  using Done = std::function<void(const SignedDescriptor&)>;
  explicit SignedDescriptorFetch(FileFetch& fetch) : fetch_(fetch) {}

  // folder: the program's folder with its trailing separator. done runs once,
  // possibly before start returns.
  void start(const std::string& folder, const std::string& baseUrl, const std::string& publicKey,
             Downloader::Progress progress, Done done);

 private:
  void descriptorArrived(const FetchResult& r);
  void signatureArrived(const FetchResult& r);
  void finish(SignedDescriptor result);

  FileFetch& fetch_;
  std::string folder_, baseUrl_, key_;
  Done done_;
  SignedDescriptor result_;
};

}  // namespace qm
