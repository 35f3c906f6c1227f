#include "LanResponder.h"

#include "NetModule.h"
#include "VirtualPrinter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kMacOffset = 22;
constexpr size_t kDiscoveryAnswerSize = 148;
constexpr size_t kSettingsAnswerSize = 1064;
constexpr int kPollMs = 50;

bool ParseMac(const std::string& text, uint8_t (&mac)[6]) {
    unsigned values[6];
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x", &values[0], &values[1], &values[2],
                    &values[3], &values[4], &values[5]) != 6)
        return false;
    for (int i = 0; i < 6; ++i)
        mac[i] = static_cast<uint8_t>(values[i]);
    return true;
}

void PutAddress(std::vector<uint8_t>& bytes, size_t offset, const std::string& text) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) == 1)
        std::memcpy(bytes.data() + offset, &address, 4);
}

std::string AddressAt(const std::vector<uint8_t>& bytes, size_t offset) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr address{};
    std::memcpy(&address, bytes.data() + offset, 4);
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

void PutText(std::vector<uint8_t>& bytes, size_t offset, const std::string& text, size_t capacity) {
    const size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(bytes.data() + offset, text.data(), length);
}

uint16_t BigEndian16(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]);
}

} // namespace

LanResponder::LanResponder(VirtualPrinter& printer, Options options)
    : printer_(printer), options_(std::move(options)) {
    auto lock = printer_.Lock();
    if (!printer_.Module<NetModule>())
        printer_.AddModule<NetModule>();
}

NetModule& LanResponder::Net() const {
    return *printer_.Module<NetModule>();
}

LanResponder::~LanResponder() {
    Stop();
}

bool LanResponder::Start() {
    Stop();
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    const int on = 1;
    // Printers on the wildcard address share its port (each gets every broadcast and
    // multicast request); on a single address a port in use is an error.
    if (options_.address == "0.0.0.0" || !options_.multicastGroup.empty())
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(options_.port);
    if (inet_pton(AF_INET, options_.address.c_str(), &local.sin_addr) != 1) {
        error_ = "not an IPv4 address: " + options_.address;
        Stop();
        return false;
    }
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        error_ = std::strerror(errno);
        Stop();
        return false;
    }
    socklen_t length = sizeof local;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length);
    boundPort_ = ntohs(local.sin_port);
    if (!options_.multicastGroup.empty()) {
        ip_mreq membership{};
        inet_pton(AF_INET, options_.multicastGroup.c_str(), &membership.imr_multiaddr);
        membership.imr_interface.s_addr = htonl(INADDR_ANY);
        if (!options_.multicastInterface.empty())
            inet_pton(AF_INET, options_.multicastInterface.c_str(), &membership.imr_interface);
        if (::setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0) {
            error_ =
                std::string("cannot join ") + options_.multicastGroup + ": " + std::strerror(errno);
            Stop();
            return false;
        }
    }
    running_ = true;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void LanResponder::Stop() {
    running_ = false;
    if (thread_.joinable())
        thread_.join();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::vector<std::vector<uint8_t>> LanResponder::Received() const {
    std::lock_guard<std::mutex> lock(receivedMutex_);
    return received_;
}

void LanResponder::ClearReceived() {
    std::lock_guard<std::mutex> lock(receivedMutex_);
    received_.clear();
}

void LanResponder::Serve() {
    std::vector<uint8_t> buffer(4096);
    while (running_) {
        pollfd poller{fd_, POLLIN, 0};
        if (::poll(&poller, 1, kPollMs) <= 0)
            continue;
        sockaddr_in sender{};
        socklen_t senderLength = sizeof sender;
        const ssize_t got = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                       reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (got < 0)
            continue;
        std::vector<uint8_t> request(buffer.begin(), buffer.begin() + got);
        {
            std::lock_guard<std::mutex> lock(receivedMutex_);
            received_.push_back(request);
        }
        const auto answer = Answer(request);
        if (answer && !options_.silent)
            ::sendto(fd_, answer->data(), answer->size(), 0, reinterpret_cast<sockaddr*>(&sender),
                     senderLength);
    }
}

bool LanResponder::Addressed(const std::vector<uint8_t>& request) const {
    uint8_t mac[6];
    if (!ParseMac(Net().Ident().mac, mac))
        return false;
    return std::memcmp(request.data() + kMacOffset, mac, 6) == 0;
}

std::optional<std::vector<uint8_t>> LanResponder::Answer(const std::vector<uint8_t>& request) {
    if (request.size() < kHeaderSize || BigEndian16(request, 0) != kHeaderSize)
        return std::nullopt;
    auto lock = printer_.Lock();
    const uint8_t requestClass = request[7];
    const uint16_t command = BigEndian16(request, 8);

    std::vector<uint8_t> answer(request.begin(), request.begin() + kHeaderSize);
    uint8_t mac[6] = {};
    ParseMac(Net().Ident().mac, mac);
    std::memcpy(answer.data() + kMacOffset, mac, 6);

    if (requestClass == 0 && command == 2) {
        answer.resize(kDiscoveryAnswerSize, 0);
        answer[40] = Net().lanStatus;
        answer[41] = Net().lanErrorFlags;
        PutAddress(answer, 44, Net().CurrentAddress());
        PutText(answer, 52, Net().Ident().model, 32);
        PutText(answer, 84, Net().name, 64);
        if (options_.discoveryAnswerLength != 0)
            answer.resize(options_.discoveryAnswerLength, 0);
        return answer;
    }
    if (requestClass != 2 || !Addressed(request))
        return std::nullopt;

    if (command == 1) {
        Net().FactoryDefault();
        ++factoryDefaults_;
        stagedName_.reset();
        stagedAddresses_.reset();
        stagedDhcp_.reset();
        return std::nullopt;
    }
    if (command == 3 && request.size() >= 34) {
        answer.resize(kSettingsAnswerSize, 0);
        if (request[32] == 4) {
            PutAddress(answer, 69, Net().CurrentAddress());
            PutAddress(answer, 73, Net().mask);
            PutAddress(answer, 77, Net().gateway);
        } else if (request[32] == 5) {
            answer[942] = Net().dhcp ? 8 : 1;
            answer[948] = Net().dhcp ? 4 : 1;
        }
        return answer;
    }
    if (command == 4 && request.size() >= kSettingsAnswerSize) {
        switch (request[34]) {
        case 0: {
            const char* text = reinterpret_cast<const char*>(request.data() + 176);
            stagedName_ = std::string(text, strnlen(text, 64));
            break;
        }
        case 4:
            stagedAddresses_ = std::array<std::string, 3>{
                AddressAt(request, 69), AddressAt(request, 73), AddressAt(request, 77)};
            break;
        case 5:
            stagedDhcp_ = request[942] == 8;
            break;
        case 7:
            if (stagedName_)
                Net().name = *stagedName_;
            if (stagedDhcp_ && *stagedDhcp_) {
                Net().UseDhcp();
            } else if (stagedAddresses_) {
                Net().UseFixedAddress((*stagedAddresses_)[0], (*stagedAddresses_)[1],
                                      (*stagedAddresses_)[2]);
            }
            stagedName_.reset();
            stagedAddresses_.reset();
            stagedDhcp_.reset();
            break;
        default:
            break;
        }
        return answer;
    }
    return std::nullopt;
}

} // namespace sim
