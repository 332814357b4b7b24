<?php
// Router for `php -S`: without one the built-in server answers a missing path with the nearest
// index.html above it, so a broken link would look fine. A static host answers 404; this does
// the same and leaves every existing file (and the contact script) to the server itself.
$path = rawurldecode(parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH) ?? '/');
$file = $_SERVER['DOCUMENT_ROOT'] . $path;
if (strpos($path, '..') === false && (is_file($file) || is_file(rtrim($file, '/') . '/index.html'))) {
	return false;
}
http_response_code(404);
header('Content-Type: text/plain');
echo "not found: $path\n";
