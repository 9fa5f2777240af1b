#include "app/update/signed_descriptor.h"

#include <fstream>
#include <iterator>

#include "app/update/update_descriptor.h"
#include "app/update/update_signature.h"
#include "app/update/update_source.h"

namespace qm {
namespace {

bool readFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

}  // namespace

void SignedDescriptorFetch::start(const std::string& folder, const std::string& baseUrl, const std::string& publicKey,
                                  Downloader::Progress progress, Done done) {
  folder_ = folder;
  baseUrl_ = baseUrl;
  key_ = publicKey;
  done_ = std::move(done);
  result_ = SignedDescriptor();
  if (key_.empty()) {
    result_.status = SignedDescriptor::NoKey;
    return finish(result_);
  }
  FetchRequest request{updateFileUrl(baseUrl_, kDescriptorRemoteName), folder_ + kDescriptorFileName, {}, false,
                       kMaxDescriptorBytes};
  fetch_.start(std::move(request), std::move(progress), [this](const FetchResult& r) { descriptorArrived(r); });
}

void SignedDescriptorFetch::descriptorArrived(const FetchResult& r) {
  result_.received = r.received;
  result_.total = r.total;
  if (!r.ok()) {
    result_.status = r.status == FetchResult::NetworkError ? SignedDescriptor::NetworkError : SignedDescriptor::FileError;
    result_.statusLine = r.statusLine;
    return finish(result_);
  }
  FetchRequest request{updateFileUrl(baseUrl_, kSignatureRemoteName), folder_ + kSignatureFileName, {}, false,
                       kMaxDescriptorBytes};
  fetch_.start(std::move(request), nullptr, [this](const FetchResult& r) { signatureArrived(r); });
}

void SignedDescriptorFetch::signatureArrived(const FetchResult& r) {
  if (r.status == FetchResult::FileError) {
    result_.status = SignedDescriptor::FileError;
    return finish(result_);
  }
  if (r.status == FetchResult::NetworkError) {
    // An answer that refuses the signature (404) means there is none; no answer is the network's fault.
    result_.status = r.statusLine.empty() ? SignedDescriptor::NetworkError : SignedDescriptor::BadSignature;
    result_.statusLine = r.statusLine;
    return finish(result_);
  }
  std::string descriptor, signature;
  if (!readFile(folder_ + kDescriptorFileName, descriptor) || !readFile(folder_ + kSignatureFileName, signature)) {
    result_.status = SignedDescriptor::FileError;
    return finish(result_);
  }
  if (!verifyUpdateSignature(descriptor, signature, key_)) {
    result_.status = SignedDescriptor::BadSignature;
    return finish(result_);
  }
  result_.bytes = std::move(descriptor);
  finish(result_);
}

void SignedDescriptorFetch::finish(SignedDescriptor result) {
  // done may start the next fetch, or delete the owner of this object.
  Done done = std::move(done_);
  done_ = nullptr;
  if (done) done(result);
}

}  // namespace qm
