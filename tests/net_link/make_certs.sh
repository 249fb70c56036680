# Makes two self-signed certificates for 127.0.0.1 in DIR: trusted.pem, which the link tests
# tell the client to trust, and stranger.pem, which they do not. Each with its KEY.key. The
# address is named twice, as an address and as a name: wine's WinHTTP matches names only.
# Usage: make_certs.sh DIR
set -eu
dir=$1
mkdir -p "$dir"
for name in trusted stranger; do
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=quibbet link test $name" \
        -addext "subjectAltName=IP:127.0.0.1,DNS:127.0.0.1" -keyout "$dir/$name.key" -out "$dir/$name.pem" 2>/dev/null
done
