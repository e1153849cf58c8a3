// The tool's message names the user's file and line, not the configuration the plugin wrote.
def log = new File(basedir, 'build.log').text
def toml = new File(basedir, 'app.toml').path
assert log.contains('kestro build failed (exit code 1):')
assert log.contains("${toml}:2: application.type: 9 is no application type")
assert !new File(basedir, 'target/tool-failure-1.0.exe').exists()
