#!/bin/sh
# Renders the main window and its dialogs in each language into docs/screenshots.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build/default"}
cmake --build "$build" --target app_screenshots_test network_setup_dialog_test \
    config_page_screenshots_test
mkdir -p "$root/docs/screenshots"
export QT_QPA_PLATFORM=offscreen TARNVIK_SCREENSHOT_DIR="$root/docs/screenshots"
"$build/tests/app/app_screenshots_test"
"$build/tests/network/network_setup_dialog_test" --gtest_filter='*Screenshots*'
"$build/tests/config/config_page_screenshots_test"
cmake --build "$build" --target files_page_tests command_page_tests
"$build/tests/files/files_page_tests" --gtest_filter='*Screenshots*'
"$build/tests/command/command_page_tests" --gtest_filter='*Screenshots*'
cmake --build "$build" --target link_window_tests
"$build/tests/link/link_window_tests" --gtest_filter='*Cancel*'
cmake --build "$build" --target fonts_page_tests
"$build/tests/fonts/fonts_page_tests" --gtest_filter='*Screenshots*'
